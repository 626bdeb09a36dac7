// Writes the window the tests expect (layoutcases.h) as JSON into the file
// named, for test_page.py; run under Node at build time.
#include "layoutcases.h"

#include <fstream>
#include <string>

namespace {

std::string quoted(const char* text)
{
    std::string out = "\"";
    for (; *text; ++text)
        out += std::string(*text == '"' || *text == '\\' ? "\\" : "") + *text;
    return out + "\"";
}

} // namespace

int main(int argc, char** argv)
{
    using namespace layoutcases;
    std::ofstream out(argc == 2 ? argv[1] : "");
    out << "{\"title\": " << quoted(title) << ", \"client\": [" << clientWidth << ", "
        << clientHeight << "], \"bannerName\": " << quoted(bannerName)
        << ", \"description\": " << quoted(description) << ",\n \"tabOrder\": [";
    for (const char* name : tabOrder)
        out << (name == tabOrder[0] ? "" : ", ") << quoted(name);
    out << "],\n \"controls\": [";
    for (const ControlCase& c : controls) {
        const Rect r = inClientArea(c);
        out << (&c == controls ? "\n" : ",\n") << "  {\"name\": " << quoted(c.name)
            << ", \"caption\": " << quoted(c.caption) << ", \"names\": " << quoted(c.names)
            << ", \"rect\": [" << r.left << ", " << r.top << ", " << r.width << ", " << r.height
            << "]}";
    }
    out << "]}\n";
    return out ? 0 : 1;
}
