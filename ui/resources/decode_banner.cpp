// Build step: the banner's JPEG decoded into a bitmap of the same pixels.
// The window reads the bitmap with Qt's own reader, so that its start-up
// loads neither the JPEG image plugin nor libjpeg.
//
//   decode_banner banner.jpg banner.bmp

#include <QImage>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: decode_banner JPEG BMP\n", stderr);
        return 2;
    }
    const QImage picture(QString::fromLocal8Bit(argv[1]), "JPEG");
    if (picture.isNull() || !picture.save(QString::fromLocal8Bit(argv[2]), "BMP")) {
        std::fprintf(stderr, "decode_banner: cannot turn %s into %s\n", argv[1], argv[2]);
        return 1;
    }
    return 0;
}
