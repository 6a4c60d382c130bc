#pragma once
// The command line and the console in the program's UTF-8. Windows hands a
// plain main() its arguments in the narrow code page, which cannot hold every
// name, and shows console output in that code page.
#include <string>
#include <vector>

namespace lanqi::platform {

// The arguments after the program's name.
std::vector<std::string> utf8Arguments(int argc, char** argv);

// Makes the console show UTF-8 output as text.
void useUtf8Console();

} // namespace lanqi::platform
