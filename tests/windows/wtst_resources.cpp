// Corvatta.exe's resources as Windows reads them: which there are, the icon,
// the version details and the manifest.
#include "appinfo.h"
#include "utf16.h"
#include "wintest.h"

#include <shlwapi.h>
#include <windows.h>
#include <xmllite.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const HMODULE file =
    LoadLibraryExW(toUtf16(CORVATTA_EXE).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);

std::vector<BYTE> bytesOf(HRSRC resource)
{
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(file, resource)));
    return std::vector<BYTE>(data, data + SizeofResource(file, resource));
}

std::vector<BYTE> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A resource type or name as a number, or its text.
std::string idText(const wchar_t* id)
{
    return IS_INTRESOURCE(id) ? std::to_string(reinterpret_cast<ULONG_PTR>(id)) : toUtf8(id);
}

// Each resource, added as "type/name/language" (the language in hex) to the
// strings that list points to.
BOOL CALLBACK addLanguage(HMODULE, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR list)
{
    char hex[8];
    std::snprintf(hex, sizeof hex, "%04X", language);
    reinterpret_cast<std::vector<std::string>*>(list)->push_back(idText(type) + "/" + idText(name) +
                                                                 "/" + hex);
    return TRUE;
}

BOOL CALLBACK addName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR list)
{
    return EnumResourceLanguagesW(module, type, name, addLanguage, list);
}

BOOL CALLBACK addType(HMODULE module, LPWSTR type, LONG_PTR list)
{
    return EnumResourceNamesW(module, type, addName, list);
}

std::string joined(const std::vector<std::string>& items)
{
    std::string all;
    for (const std::string& item : items)
        all += (all.empty() ? "" : " | ") + item;
    return all;
}

void resources()
{
    // The icon's images and group, and the version, tagged French; the
    // banner's two JPEGs and the manifest, US English (the resource
    // compiler's default).
    TEST("resources");
    std::vector<std::string> all;
    EnumResourceTypesW(file, addType, reinterpret_cast<LONG_PTR>(&all));
    std::sort(all.begin(), all.end());
    CHECK_EQ(joined(all), joined({"10/101/0409", "10/102/0409", "14/1/040C", "16/1/040C",
                                  "24/1/0409", "3/1/040C", "3/2/040C", "3/3/040C", "3/4/040C"}));
}

DWORD dwordAt(const std::vector<BYTE>& bytes, std::size_t at)
{
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | DWORD{bytes[at + 3]} << 24;
}

WORD wordAt(const std::vector<BYTE>& bytes, std::size_t at)
{
    return static_cast<WORD>(bytes[at] | bytes[at + 1] << 8);
}

void icon()
{
    TEST("icon group");
    const HRSRC group = FindResourceExW(file, MAKEINTRESOURCEW(14), MAKEINTRESOURCEW(1),
                                        MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH));
    if (!CHECK(group))
        return;
    std::vector<BYTE> directory = bytesOf(group);
    // A 6-byte header (reserved 0, type 1 for icons, 4 images) and 14 bytes
    // an image.
    if (!CHECK_EQ(directory.size(), 6U + 4 * 14))
        return;
    CHECK_EQ(wordAt(directory, 0), 0);
    CHECK_EQ(wordAt(directory, 2), 1);
    CHECK_EQ(wordAt(directory, 4), 4);

    // The window icon's own image (ui/resources/corvatta.ico, one 32 x 32,
    // 256-colour image after a 22-byte header), described as the .ico
    // describes it; then the larger drawings, PNG files of 32 bits a pixel
    // (a size of 256 written 0).
    const std::vector<BYTE> ico = readFile(CORVATTA_ICO);
    const auto png = [](int size) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        return readFile(CORVATTA_ICONS + folder + "/apps/io.github.corvatta.Corvatta.png");
    };
    struct Image
    {
        int pixels;
        BYTE bits;
        std::vector<BYTE> bytes;
    };
    const Image images[] = {{32, 8, {ico.begin() + std::min(22, int(ico.size())), ico.end()}},
                            {64, 32, png(64)},
                            {128, 32, png(128)},
                            {256, 32, png(256)}};
    const std::vector<BYTE> entry32 = {32, 32, 0, 0, 1, 0, 8, 0};
    CHECK(ico.size() == 22 + 2216 &&
          std::equal(ico.begin() + 6, ico.begin() + 14, entry32.begin()));
    for (std::size_t i = 0; i < 4; ++i) {
        const Image& expected = images[i];
        TEST("icon image " + std::to_string(expected.pixels));
        // Width, height, colours, reserved, planes, bits a pixel, bytes.
        const std::size_t at = 6 + 14 * i;
        const BYTE side = static_cast<BYTE>(expected.pixels % 256);
        const std::vector<BYTE> entry = {side, side, 0, 0, 1, 0, expected.bits, 0};
        CHECK(std::equal(entry.begin(), entry.end(), &directory[at]));
        CHECK_EQ(dwordAt(directory, at + 8), expected.bytes.size());
        const WORD id = wordAt(directory, at + 12);
        const HRSRC image = FindResourceW(file, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3));
        if (!CHECK(image))
            continue;
        std::vector<BYTE> bytes = bytesOf(image);
        CHECK(bytes == expected.bytes);
        // Windows picks this image for this size, and can make an icon of it.
        CHECK_EQ(LookupIconIdFromDirectoryEx(directory.data(), TRUE, expected.pixels,
                                             expected.pixels, LR_DEFAULTCOLOR),
                 id);
        const HICON icon =
            CreateIconFromResourceEx(bytes.data(), static_cast<DWORD>(bytes.size()), TRUE,
                                     0x00030000, expected.pixels, expected.pixels, LR_DEFAULTCOLOR);
        ICONINFO info{};
        BITMAP bitmap{};
        CHECK(icon && GetIconInfo(icon, &info) &&
              GetObjectW(info.hbmColor, sizeof bitmap, &bitmap));
        CHECK_EQ(bitmap.bmWidth, expected.pixels);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

// A version text in French (France) as UTF-16 (the one table there is),
// "(none)" where there is none; a value must end with its one NUL.
std::string versionString(const std::vector<BYTE>& info, const char* name)
{
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = L"\\StringFileInfo\\040C04B0\\" + toUtf16(name);
    if (!VerQueryValueW(info.data(), path.c_str(), &value, &length) || length == 0)
        return "(none)";
    const std::wstring text(static_cast<const wchar_t*>(value));
    CHECK_EQ(length, text.size() + 1);
    return toUtf8(text);
}

void version()
{
    TEST("version information");
    const std::wstring exe = toUtf16(CORVATTA_EXE);
    std::vector<BYTE> info(GetFileVersionInfoSizeW(exe.c_str(), nullptr));
    if (!CHECK(!info.empty()) ||
        !CHECK(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data())))
        return;
    // The build's version: four numbers, and shown as the major, a dot and
    // the minor in two digits.
    const WORD numbers[] = {CORVATTA_VERSION_NUMBERS};
    const std::string minor = std::to_string(numbers[1]);
    CHECK_EQ(std::string(CORVATTA_VERSION),
             std::to_string(numbers[0]) + "." + (numbers[1] < 10 ? "0" : "") + minor);
    const DWORD high = DWORD{numbers[0]} << 16 | numbers[1];
    const DWORD low = DWORD{numbers[2]} << 16 | numbers[3];

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (CHECK(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length)) &&
        CHECK_EQ(length, sizeof(VS_FIXEDFILEINFO))) {
        CHECK_EQ(fixed->dwSignature, 0xFEEF04BDUL);
        CHECK_EQ(fixed->dwFileVersionMS, high);
        CHECK_EQ(fixed->dwFileVersionLS, low);
        CHECK_EQ(fixed->dwProductVersionMS, high);
        CHECK_EQ(fixed->dwProductVersionLS, low);
        CHECK_EQ(fixed->dwFileFlagsMask, 0UL);
        CHECK_EQ(fixed->dwFileFlags, 0UL);
        CHECK_EQ(fixed->dwFileOS, 4UL);   // 32-bit Windows
        CHECK_EQ(fixed->dwFileType, 1UL); // an application
        CHECK_EQ(fixed->dwFileSubtype, 0UL);
    }
    WORD* translation = nullptr;
    if (CHECK(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length))) {
        CHECK_EQ(length, 4U);             // one language
        CHECK_EQ(translation[0], 0x040C); // French (France)
        CHECK_EQ(translation[1], 1200);   // UTF-16
    }
    // Every text the Properties page knows, and only the first five set.
    const char* const texts[][2] = {
        {"ProductName", "Corvatta"},          {"FileVersion", CORVATTA_VERSION},
        {"ProductVersion", CORVATTA_VERSION}, {"InternalName", "Corvatta"},
        {"OriginalFilename", "Corvatta.exe"}, {"CompanyName", "(none)"},
        {"FileDescription", "(none)"},        {"LegalCopyright", "(none)"},
        {"LegalTrademarks", "(none)"},        {"Comments", "(none)"},
        {"PrivateBuild", "(none)"},           {"SpecialBuild", "(none)"},
    };
    for (const auto& [name, value] : texts) {
        TEST(std::string("version text ") + name);
        CHECK_EQ(versionString(info, name), value);
    }
}

// The manifest's elements and attributes as "namespace element" (its text)
// and "namespace element@attribute" (the value), each with its values in
// document order, read by Windows' own XML reader.
std::vector<std::pair<std::string, std::string>> manifestValues(const std::vector<BYTE>& xml)
{
    std::vector<std::pair<std::string, std::string>> values;
    using Create = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);
    const HMODULE xmllite = LoadLibraryW(L"xmllite.dll");
    const auto create = xmllite ? reinterpret_cast<Create>(reinterpret_cast<void*>(
                                      GetProcAddress(xmllite, "CreateXmlReader")))
                                : nullptr;
    IXmlReader* reader = nullptr;
    IStream* stream = SHCreateMemStream(xml.data(), static_cast<UINT>(xml.size()));
    if (CHECK(create && stream) &&
        CHECK(
            SUCCEEDED(create(__uuidof(IXmlReader), reinterpret_cast<void**>(&reader), nullptr))) &&
        CHECK(SUCCEEDED(reader->SetInput(stream)))) {
        // One of the reader's texts of the node it is on.
        const auto text = [reader](HRESULT (STDMETHODCALLTYPE IXmlReader::*get)(LPCWSTR*, UINT*)) {
            const wchar_t* s = nullptr;
            return SUCCEEDED((reader->*get)(&s, nullptr)) && s ? toUtf8(s) : "(unreadable)";
        };
        std::string element;
        XmlNodeType type;
        while (reader->Read(&type) == S_OK) {
            if (type == XmlNodeType_Element) {
                element =
                    text(&IXmlReader::GetNamespaceUri) + " " + text(&IXmlReader::GetLocalName);
                for (HRESULT more = reader->MoveToFirstAttribute(); more == S_OK;
                     more = reader->MoveToNextAttribute())
                    values.emplace_back(element + "@" + text(&IXmlReader::GetLocalName),
                                        text(&IXmlReader::GetValue));
            } else if (type == XmlNodeType_Text) {
                values.emplace_back(element, text(&IXmlReader::GetValue));
            }
        }
    }
    if (reader)
        reader->Release();
    if (stream)
        stream->Release();
    return values;
}

void manifest()
{
    TEST("manifest");
    const HRSRC resource = FindResourceW(file, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    if (!CHECK(resource))
        return;
    const auto values = manifestValues(bytesOf(resource));
    const auto all = [&values](const std::string& key) {
        std::vector<std::string> found;
        for (const auto& [k, v] : values)
            if (k == key)
                found.push_back(v);
        return joined(found);
    };
    const std::string v1 = "urn:schemas-microsoft-com:asm.v1 ";
    const std::string settings = "http://schemas.microsoft.com/SMI/";
    const WORD numbers[] = {CORVATTA_VERSION_NUMBERS};
    std::string version;
    for (WORD n : numbers)
        version += (version.empty() ? "" : ".") + std::to_string(n);
    // The program, then the themed common controls it depends on.
    CHECK_EQ(all(v1 + "assemblyIdentity@name"), "Corvatta | Microsoft.Windows.Common-Controls");
    CHECK_EQ(all(v1 + "assemblyIdentity@version"), version + " | 6.0.0.0");
    // Dpi-aware: per monitor (v2, or v1 before Windows 10's Creators
    // Update), or the system's on older Windows.
    CHECK_EQ(all(settings + "2005/WindowsSettings dpiAware"), "true");
    CHECK_EQ(all(settings + "2016/WindowsSettings dpiAwareness"), "PerMonitorV2, PerMonitor");
    // Windows 7, 8, 8.1, 10 and 11.
    CHECK_EQ(all("urn:schemas-microsoft-com:compatibility.v1 supportedOS@Id"),
             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a} | {4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38} | "
             "{1f676c76-80e1-4239-95bb-83d0f6d0da78} | {8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}");
}

} // namespace

int wmain()
{
    if (!CHECK(file))
        return wintest::finish();
    resources();
    icon();
    version();
    manifest();
    FreeLibrary(file);
    return wintest::finish();
}
