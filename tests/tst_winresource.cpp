// The Windows resources of corvatta.exe, checked in the .res file that the
// resource compiler makes from app/corvatta.rc: the icon Explorer shows for
// the file must be the window's own icon, byte for byte, and the version
// details must be exactly the ones the Properties page is meant to list.

#include <QFile>
#include <QStringList>
#include <QTest>
#include <QtEndian>

#include <optional>
#include <vector>

namespace {

// Reads little-endian values from a byte array. Reading past the end (or past
// a narrower limit) yields zeros and marks the reader as failed, so a short or
// damaged file shows up as an error instead of a crash.
class Reader {
public:
    explicit Reader(const QByteArray& data) : data_(data), limit_(data.size()) {}

    qsizetype pos() const { return pos_; }
    bool ok() const { return ok_; }
    bool atEnd() const { return pos_ >= limit_; }
    void seek(qsizetype pos) { pos_ = pos; }
    void setLimit(qsizetype limit)
    {
        if (limit > data_.size()) {
            ok_ = false;
            limit = data_.size();
        }
        limit_ = limit;
    }
    qsizetype limit() const { return limit_; }

    quint16 u16()
    {
        const QByteArray b = take(2);
        return b.size() == 2 ? static_cast<quint16>(byte(b, 0) | byte(b, 1) << 8) : 0;
    }
    quint32 u32()
    {
        const quint32 low = u16();
        const quint32 high = u16();
        return low | high << 16;
    }
    QByteArray bytes(qsizetype count) { return take(count); }

    // A UTF-16 string ending with a NUL, which is read but not returned.
    QString utf16z()
    {
        QString s;
        while (ok_) {
            const quint16 c = u16();
            if (c == 0)
                break;
            s.append(QChar(c));
        }
        return s;
    }

    // Structures in both formats start on 32-bit boundaries, counted from the
    // start of the file or of the resource data.
    void align4()
    {
        pos_ = (pos_ + 3) & ~qsizetype(3);
        if (pos_ > limit_)
            pos_ = limit_;
    }

private:
    static unsigned byte(const QByteArray& b, qsizetype i)
    {
        return static_cast<unsigned char>(b[i]);
    }
    QByteArray take(qsizetype count)
    {
        if (!ok_ || count < 0 || count > limit_ - pos_) {
            ok_ = false;
            return {};
        }
        const QByteArray b = data_.mid(pos_, count);
        pos_ += count;
        return b;
    }

    const QByteArray& data_;
    qsizetype pos_ = 0;
    qsizetype limit_;
    bool ok_ = true;
};

// A resource type or name: a number, or a string when isNumber is false.
struct ResourceId {
    bool isNumber = true;
    quint16 number = 0;
    QString text;
};

ResourceId readResourceId(Reader& r)
{
    ResourceId id;
    const quint16 first = r.u16();
    if (first == 0xFFFF) {
        id.number = r.u16();
    } else {
        id.isNumber = false;
        if (first != 0)
            id.text = QChar(first) + r.utf16z();
    }
    return id;
}

struct Resource {
    ResourceId type;
    ResourceId name;
    quint32 dataVersion = 0;
    quint16 memoryFlags = 0;
    quint16 language = 0;
    quint32 version = 0;
    quint32 characteristics = 0;
    QByteArray data;
};

// Splits a .res file into its resources. The file opens with an empty entry
// that marks it as a 32-bit resource file; it is checked and left out. On
// failure, error says what is wrong.
std::vector<Resource> parseResFile(const QByteArray& file, QString& error)
{
    std::vector<Resource> resources;
    Reader r(file);
    bool first = true;
    while (!r.atEnd()) {
        const qsizetype start = r.pos();
        const quint32 dataSize = r.u32();
        const quint32 headerSize = r.u32();
        Resource res;
        res.type = readResourceId(r);
        res.name = readResourceId(r);
        r.align4();
        res.dataVersion = r.u32();
        res.memoryFlags = r.u16();
        res.language = r.u16();
        res.version = r.u32();
        res.characteristics = r.u32();
        if (r.ok() && r.pos() - start != qsizetype(headerSize)) {
            error = QStringLiteral("entry at %1: header size %2, but the header takes %3 bytes")
                        .arg(start).arg(headerSize).arg(r.pos() - start);
            return {};
        }
        res.data = r.bytes(qsizetype(dataSize));
        if (!r.ok()) {
            error = QStringLiteral("entry at %1 runs past the end of the file").arg(start);
            return {};
        }
        r.align4();
        if (first) {
            const bool marker = dataSize == 0 && res.type.isNumber && res.type.number == 0
                && res.name.isNumber && res.name.number == 0;
            if (!marker) {
                error = QStringLiteral("the file does not open with the empty 32-bit marker entry");
                return {};
            }
            first = false;
            continue;
        }
        resources.push_back(res);
    }
    if (first)
        error = QStringLiteral("the file is empty");
    return resources;
}

// One block of a version resource: a key, an optional value and child blocks.
// type 1 means the value is UTF-16 text, type 0 that it is binary.
struct VersionBlock {
    QString key;
    quint16 type = 0;
    QByteArray value;
    std::vector<VersionBlock> children;

    QStringList childKeys() const
    {
        QStringList keys;
        for (const VersionBlock& c : children)
            keys << c.key;
        return keys;
    }
    const VersionBlock* child(const QString& k) const
    {
        for (const VersionBlock& c : children)
            if (c.key == k)
                return &c;
        return nullptr;
    }
};

// Reads the block at the reader's position, which must end by the reader's
// limit. Every block states its own length; its children fill the rest of it.
bool readVersionBlock(Reader& r, VersionBlock& block, QString& error)
{
    const qsizetype start = r.pos();
    const quint16 length = r.u16();
    const quint16 valueLength = r.u16();
    block.type = r.u16();
    block.key = r.utf16z();
    const qsizetype end = start + length;
    if (!r.ok() || end > r.limit() || r.pos() > end) {
        error = QStringLiteral("version block at %1 (\"%2\") does not fit").arg(start).arg(block.key);
        return false;
    }
    const qsizetype outerLimit = r.limit();
    r.setLimit(end);
    r.align4();
    // Text lengths count UTF-16 units, binary lengths bytes.
    block.value = r.bytes(block.type == 1 ? 2 * qsizetype(valueLength) : qsizetype(valueLength));
    r.align4();
    while (r.ok() && !r.atEnd()) {
        VersionBlock child;
        if (!readVersionBlock(r, child, error))
            return false;
        block.children.push_back(child);
        r.align4();
    }
    if (!r.ok()) {
        error = QStringLiteral("version block \"%1\" is cut short").arg(block.key);
        return false;
    }
    r.setLimit(outerLimit);
    r.seek(end);
    return true;
}

// A text value as a string; nothing unless it is text that ends with its one
// and only NUL.
std::optional<QString> textValue(const VersionBlock& block)
{
    if (block.type != 1)
        return std::nullopt;
    Reader r(block.value);
    QString s = r.utf16z();
    if (!r.ok() || !r.atEnd())
        return std::nullopt;
    return s;
}

quint32 dword(const QByteArray& data, qsizetype offset)
{
    Reader r(data);
    r.seek(offset);
    return r.u32();
}

quint16 word(const QByteArray& data, qsizetype offset)
{
    Reader r(data);
    r.seek(offset);
    return r.u16();
}

// Resource types, numbered as Windows numbers them.
constexpr quint16 TypeIcon = 3;
constexpr quint16 TypeVersion = 16;
constexpr quint16 TypeGroupIcon = 14;
constexpr quint16 French = 0x040C; // 1036

} // namespace

class TestWinResource : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void resourcePresent_data();
    void resourcePresent();
    void noOtherResources();
    void groupIcon();
    void groupIconMatchesIcoDirectory();
    void iconImageIsTheWindowIcon();
    void fixedFileInfo();
    void stringTableLayout();
    void stringEntry_data();
    void stringEntry();
    void translation();
    void damagedFilesAreRejected_data();
    void damagedFilesAreRejected();

private:
    const Resource* find(quint16 type, quint16 name) const;

    QByteArray resFile_;
    QByteArray icoFile_;
    std::vector<Resource> resources_;
    VersionBlock version_;
};

void TestWinResource::initTestCase()
{
    QFile res(QStringLiteral(CORVATTA_RES_FILE));
    QVERIFY2(res.open(QIODevice::ReadOnly), qPrintable(res.errorString()));
    resFile_ = res.readAll();
    QFile ico(QStringLiteral(CORVATTA_ICO_FILE));
    QVERIFY2(ico.open(QIODevice::ReadOnly), qPrintable(ico.errorString()));
    icoFile_ = ico.readAll();

    QString error;
    resources_ = parseResFile(resFile_, error);
    QVERIFY2(error.isEmpty(), qPrintable(error));

    if (const Resource* v = find(TypeVersion, 1)) {
        Reader r(v->data);
        QVERIFY2(readVersionBlock(r, version_, error), qPrintable(error));
    }
}

const Resource* TestWinResource::find(quint16 type, quint16 name) const
{
    for (const Resource& res : resources_)
        if (res.type.isNumber && res.type.number == type && res.name.isNumber
            && res.name.number == name)
            return &res;
    return nullptr;
}

void TestWinResource::resourcePresent_data()
{
    QTest::addColumn<quint16>("type");
    QTest::addColumn<quint16>("name");
    QTest::newRow("icon image 30001") << TypeIcon << quint16(30001);
    QTest::newRow("icon image 30002, 64 pixels") << TypeIcon << quint16(30002);
    QTest::newRow("icon image 30003, 128 pixels") << TypeIcon << quint16(30003);
    QTest::newRow("icon image 30004, 256 pixels") << TypeIcon << quint16(30004);
    QTest::newRow("icon group 1") << TypeGroupIcon << quint16(1);
    QTest::newRow("version 1") << TypeVersion << quint16(1);
}

void TestWinResource::resourcePresent()
{
    QFETCH(quint16, type);
    QFETCH(quint16, name);
    int count = 0;
    for (const Resource& res : resources_)
        if (res.type.isNumber && res.type.number == type && res.name.isNumber
            && res.name.number == name) {
            ++count;
            QCOMPARE(res.language, French);
        }
    QCOMPARE(count, 1);
}

void TestWinResource::noOtherResources()
{
    QStringList found;
    for (const Resource& res : resources_) {
        const auto show = [](const ResourceId& id) {
            return id.isNumber ? QString::number(id.number) : QLatin1Char('"') + id.text + QLatin1Char('"');
        };
        found << show(res.type) + QLatin1Char('/') + show(res.name);
    }
    found.sort();
    QCOMPARE(found, (QStringList{QStringLiteral("14/1"), QStringLiteral("16/1"),
                                 QStringLiteral("3/30001"), QStringLiteral("3/30002"),
                                 QStringLiteral("3/30003"), QStringLiteral("3/30004")}));
}

void TestWinResource::groupIcon()
{
    const Resource* group = find(TypeGroupIcon, 1);
    QVERIFY(group);
    const QByteArray& d = group->data;
    // A 6-byte directory header and four 14-byte entries.
    QCOMPARE(d.size(), 6 + 4 * 14);
    QCOMPARE(word(d, 0), quint16(0));       // reserved
    QCOMPARE(word(d, 2), quint16(1));       // icons, not cursors
    QCOMPARE(word(d, 4), quint16(4));       // four images
    QCOMPARE(quint8(d[6]), quint8(32));     // width
    QCOMPARE(quint8(d[7]), quint8(32));     // height
    QCOMPARE(quint8(d[8]), quint8(0));      // colour count
    QCOMPARE(quint8(d[9]), quint8(0));      // reserved
    QCOMPARE(word(d, 10), quint16(1));      // planes
    QCOMPARE(word(d, 12), quint16(8));      // bits per pixel
    QCOMPARE(dword(d, 14), quint32(2216));  // image size
    QCOMPARE(word(d, 18), quint16(30001));  // image resource id

    // The larger drawings: PNG images whose own header gives the size the
    // directory promises (a width byte of 0 stands for 256), and whose byte
    // count it gives right.
    for (int entry = 1; entry < 4; ++entry) {
        const int at = 6 + entry * 14;
        const int size = 32 << entry; // 64, 128, 256
        const Resource* image = find(TypeIcon, word(d, at + 12));
        QVERIFY(image);
        QCOMPARE(quint8(d[at]), quint8(size % 256));
        QCOMPARE(quint8(d[at + 1]), quint8(size % 256));
        QCOMPARE(word(d, at + 6), quint16(32)); // bits per pixel
        QCOMPARE(dword(d, at + 8), quint32(image->data.size()));
        QVERIFY(image->data.startsWith("\x89PNG\r\n\x1a\n"));
        // The IHDR chunk's width and height, big-endian, at bytes 16 and 20.
        QCOMPARE(qFromBigEndian<quint32>(image->data.constData() + 16), quint32(size));
        QCOMPARE(qFromBigEndian<quint32>(image->data.constData() + 20), quint32(size));
    }
}

void TestWinResource::groupIconMatchesIcoDirectory()
{
    // The .ico's one directory entry (bytes 6 to 21) describes the group's
    // first image the same way for its first 12 bytes; only the last field
    // differs, a file offset there and a resource id here.
    const Resource* group = find(TypeGroupIcon, 1);
    QVERIFY(group);
    QCOMPARE(word(icoFile_, 4), quint16(1));
    QCOMPARE(group->data.mid(6, 12).toHex(' '), icoFile_.mid(6, 12).toHex(' '));
}

void TestWinResource::iconImageIsTheWindowIcon()
{
    const Resource* image = find(TypeIcon, 30001);
    QVERIFY(image);
    // The window icon's image, where the .ico's directory says it is.
    QCOMPARE(icoFile_.size(), 2238);
    QCOMPARE(dword(icoFile_, 18), quint32(22));
    QCOMPARE(dword(icoFile_, 14), quint32(2216));
    const QByteArray windowImage = icoFile_.mid(22);
    QCOMPARE(image->data.size(), windowImage.size());
    for (qsizetype i = 0; i < windowImage.size(); ++i)
        QVERIFY2(image->data[i] == windowImage[i],
            qPrintable(QStringLiteral("the images differ at byte %1").arg(i)));
}

void TestWinResource::fixedFileInfo()
{
    QCOMPARE(version_.key, QStringLiteral("VS_VERSION_INFO"));
    QCOMPARE(version_.type, quint16(0));
    const QByteArray& f = version_.value;
    QCOMPARE(f.size(), 52);
    QCOMPARE(dword(f, 0), quint32(0xFEEF04BD));  // signature
    QCOMPARE(dword(f, 8), quint32(0x00010000));  // file version 1.0
    QCOMPARE(dword(f, 12), quint32(0x00000000)); //              .0.0
    QCOMPARE(dword(f, 16), quint32(0x00010000)); // product version 1.0
    QCOMPARE(dword(f, 20), quint32(0x00000000)); //                 .0.0
    QCOMPARE(dword(f, 24), quint32(0));          // flags mask
    QCOMPARE(dword(f, 28), quint32(0));          // flags
    QCOMPARE(dword(f, 32), quint32(4));          // Win32
    QCOMPARE(dword(f, 36), quint32(1));          // application
    QCOMPARE(dword(f, 40), quint32(0));          // subtype
}

void TestWinResource::stringTableLayout()
{
    QCOMPARE(version_.childKeys(), (QStringList{QStringLiteral("StringFileInfo"), QStringLiteral("VarFileInfo")}));
    const VersionBlock* info = version_.child(QStringLiteral("StringFileInfo"));
    QVERIFY(info);
    QCOMPARE(info->childKeys(), QStringList{QStringLiteral("040C04B0")});
    QCOMPARE(info->children[0].childKeys(),
        (QStringList{QStringLiteral("ProductName"), QStringLiteral("FileVersion"), QStringLiteral("ProductVersion"),
            QStringLiteral("InternalName"), QStringLiteral("OriginalFilename")}));
}

void TestWinResource::stringEntry_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("value");
    QTest::newRow("ProductName") << 0 << QStringLiteral("Corvatta");
    QTest::newRow("FileVersion") << 1 << QStringLiteral("1.00");
    QTest::newRow("ProductVersion") << 2 << QStringLiteral("1.00");
    QTest::newRow("InternalName") << 3 << QStringLiteral("Corvatta");
    QTest::newRow("OriginalFilename") << 4 << QStringLiteral("Corvatta.exe");
}

void TestWinResource::stringEntry()
{
    QFETCH(int, position);
    QFETCH(QString, value);
    const VersionBlock* info = version_.child(QStringLiteral("StringFileInfo"));
    QVERIFY(info);
    const VersionBlock* table = info->child(QStringLiteral("040C04B0"));
    QVERIFY(table);
    QVERIFY(size_t(position) < table->children.size());
    const VersionBlock& entry = table->children[size_t(position)];
    QCOMPARE(entry.key, QString::fromLatin1(QTest::currentDataTag()));
    const std::optional<QString> text = textValue(entry);
    QVERIFY2(text, "the value is not text ending with a NUL");
    QCOMPARE(*text, value);
    QVERIFY(entry.children.empty());
}

void TestWinResource::translation()
{
    const VersionBlock* var = version_.child(QStringLiteral("VarFileInfo"));
    QVERIFY(var);
    QCOMPARE(var->childKeys(), QStringList{QStringLiteral("Translation")});
    const VersionBlock& t = var->children[0];
    QCOMPARE(t.type, quint16(0));
    QCOMPARE(t.value.size(), 4);
    QCOMPARE(word(t.value, 0), French);
    QCOMPARE(word(t.value, 2), quint16(1200)); // UTF-16
}

// The checks above only mean something if the reader notices a damaged file.
void TestWinResource::damagedFilesAreRejected_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("last byte missing") << resFile_.chopped(1);
    QTest::newRow("cut inside the marker entry") << resFile_.left(20);
    QByteArray noMarker = resFile_;
    noMarker[8] = '\x01'; // the marker's type, 0xFFFF 0x0000, becomes a string
    QTest::newRow("no marker entry") << noMarker;
    QByteArray longHeader = resFile_;
    longHeader[36] = '\x24'; // the first real entry's header size, 32 -> 36
    QTest::newRow("wrong header size") << longHeader;
}

void TestWinResource::damagedFilesAreRejected()
{
    QFETCH(QByteArray, file);
    QString error;
    const std::vector<Resource> resources = parseResFile(file, error);
    QVERIFY(!error.isEmpty());
    QVERIFY(resources.empty());
}

QTEST_APPLESS_MAIN(TestWinResource)
#include "tst_winresource.moc"
