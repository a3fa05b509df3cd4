#include "support/test_program.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace velscript::testing {

namespace {

std::map<std::string, TestMain>& registeredTests()
{
    static std::map<std::string, TestMain> registered;
    return registered;
}

std::string testName(const char* file)
{
    std::string name = file;
    if (const auto slash = name.find_last_of('/'); slash != std::string::npos)
        name.erase(0, slash + 1);
    if (const auto dot = name.find('.'); dot != std::string::npos)
        name.erase(dot);
    return name;
}

} // namespace

bool registerTest(const char* file, TestMain main)
{
    const bool added = registeredTests().emplace(testName(file), main).second;
    if (!added) {
        std::fprintf(stderr, "Two tests are named %s.\n", testName(file).c_str());
        std::abort();
    }
    return true;
}

} // namespace velscript::testing

int main(int argc, char** argv)
{
    using velscript::testing::registeredTests;
    const auto test = argc > 1 ? registeredTests().find(argv[1]) : registeredTests().end();
    if (test == registeredTests().end()) {
        std::fprintf(stderr, "Usage: %s TEST [Qt Test options]\nThe tests of this program:\n",
                     argv[0]);
        for (const auto& [name, main] : registeredTests())
            std::fprintf(stderr, "  %s\n", name.c_str());
        return 2;
    }
    // Qt Test sees the program's name and its own options, as if the test were a program alone.
    std::vector<char*> arguments{argv[0]};
    arguments.insert(arguments.end(), argv + 2, argv + argc);
    arguments.push_back(nullptr);
    return test->second(argc - 1, arguments.data());
}
