// One set of checks for a port mapping, wherever it is written: each mapping
// the command line refuses (--comN=PATH) is refused as a line of the saved
// file (COMN=PATH) too, named by file and line number, and the file's good
// lines still map.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "core/saved_ports.h"
#include "platform/network_url.h"
#include "platform/port_enumeration.h"
#include "support/temp_dir.h"

namespace {

struct Entry {
    std::string com; // N of --comN= and COMN=
    std::string path;
};

// Points the saved file at a temporary directory for the test's life.
class ConfigHome {
public:
    ConfigHome() : old_(std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "")
    {
        setenv("XDG_CONFIG_HOME", dir_.path().c_str(), 1);
    }
    ~ConfigHome()
    {
        if (old_.empty())
            unsetenv("XDG_CONFIG_HOME");
        else
            setenv("XDG_CONFIG_HOME", old_.c_str(), 1);
    }
    ConfigHome(const ConfigHome&) = delete;
    ConfigHome& operator=(const ConfigHome&) = delete;

private:
    TempDir dir_;
    std::string old_;
};

// Writes "[ports]" and the entries as lines 2.. of the saved file.
void WriteSavedFile(const std::vector<Entry>& entries)
{
    std::string text = "[ports]\n";
    for (const Entry& e : entries)
        text += "COM" + e.com + "=" + e.path + "\n";
    std::filesystem::create_directories(std::filesystem::path(SavedPortsFile()).parent_path());
    WriteFileText(SavedPortsFile(), text);
}

TEST(PortMapping, EachCommandLineRefusalRefusesTheSameLineOfTheSavedFile)
{
    const std::string longHost(5000, 'a');
    struct Case {
        std::vector<Entry> entries; // the last one is refused
        const char* expect;         // in both refusals
    };
    const Case cases[] = {
        {{{"0", "/dev/ttyX"}}, "N from 1 to 16"},
        {{{"17", "/dev/ttyX"}}, "N from 1 to 16"},
        {{{"-1", "/dev/ttyX"}}, "N from 1 to 16"},
        {{{"", "/dev/ttyX"}}, "N from 1 to 16"},
        {{{"x", "/dev/ttyX"}}, "N from 1 to 16"},
        {{{"3", ""}}, "empty device path"},
        {{{"3", "/dev/ttyX"}, {"3", "/dev/ttyY"}}, "COM3 is already mapped to /dev/ttyX"},
        {{{"3", "/dev/ttyX"}, {"4", "/dev/ttyX"}}, "/dev/ttyX is already mapped to COM3"},
        {{{"2", "tcp://h:1"}, {"3", "tcp://h:1"}}, "tcp://h:1 is already mapped to COM2"},
        {{{"2", "tcp://host"}}, "expected HOST:PORT"},
        {{{"2", "tcp://127.0.0.1:0"}}, "1 to 65535"},
        {{{"2", "tcp://[::1]:0"}}, "1 to 65535"},
        {{{"2", "rfc2217://::1:4000"}}, "IPv6 address in brackets"},
        {{{"2", "rfc2217://[::g]:4000"}}, "not an IPv6 address"},
        {{{"2", "tcp:/127.0.0.1:4000"}}, "tcp://HOST:PORT or rfc2217://HOST:PORT"},
        {{{"2", "Rfc2217:127.0.0.1:4000"}}, "tcp://HOST:PORT or rfc2217://HOST:PORT"},
        {{{"2", "ftp://h:21"}}, "\"ftp:\" is no network port"},
        {{{"2", "tcp://a b:4000"}}, "the host must be"},
        {{{"2", "tcp://user@h:4000"}}, "the host must be"},
        {{{"2", "tcp://-h:4000"}}, "the host must be"},
        {{{"2", "tcp://999.1.1.1:4000"}}, "the host must be"},
        {{{"2", "tcp://" + longHost + ":4000"}}, "the host must be"},
        {{{"2", std::string("tcp://h\0st:4000", 15)}}, "control character"},
        {{{"2", "/dev/tty\x1b[2JX"}}, "control character"},
    };
    for (const Case& c : cases) {
        const Entry& refused = c.entries.back();
        SCOPED_TRACE(PrintableText("COM" + refused.com + "=" + refused.path));
        ClearComMapping();
        std::vector<std::string> args;
        for (const Entry& e : c.entries)
            args.push_back("--com" + e.com + "=" + e.path);
        std::string error;
        EXPECT_FALSE(TakeComArguments(args, &error));
        EXPECT_NE(error.find(c.expect), std::string::npos) << error;

        ConfigHome home;
        WriteSavedFile(c.entries);
        std::vector<std::string> problems;
        const std::vector<ComMapping> saved = LoadSavedPortMapping(&problems);
        ASSERT_EQ(problems.size(), 1u);
        const std::string where = SavedPortsFile() + ":" + std::to_string(c.entries.size() + 1) + ": ";
        EXPECT_EQ(problems[0].rfind(where, 0), 0u) << problems[0];
        EXPECT_NE(problems[0].find(c.expect), std::string::npos) << problems[0];
        EXPECT_EQ(saved.size(), c.entries.size() - 1) << "the lines before it still map";
        // What reaches a terminal carries no raw control bytes.
        for (const std::string& text : {error, problems[0]})
            for (char ch : text)
                EXPECT_FALSE(static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F) << PrintableText(text);
    }
}

TEST(PortMapping, GoodFormsMapAlikeFromBothPlaces)
{
    const std::vector<Entry> entries = {
        {"1", "TCP://127.0.0.1:4001"}, {"2", "rfc2217://[::1]:4002"}, {"3", "tcp://gps-7.lab.example:4003"},
        {"4", "/dev/serial/by-id/usb-x"}};
    ClearComMapping();
    std::vector<std::string> args;
    for (const Entry& e : entries)
        args.push_back("--com" + e.com + "=" + e.path);
    std::string error;
    ASSERT_TRUE(TakeComArguments(args, &error)) << error;
    ConfigHome home;
    WriteSavedFile(entries);
    std::vector<std::string> problems;
    const std::vector<ComMapping> saved = LoadSavedPortMapping(&problems);
    EXPECT_TRUE(problems.empty()) << (problems.empty() ? "" : problems[0]);
    const std::vector<ComMapping> given = CurrentComMapping();
    ASSERT_EQ(saved.size(), given.size());
    for (size_t i = 0; i < saved.size(); ++i)
        EXPECT_EQ(saved[i].path, given[i].path);
    EXPECT_TRUE(IsNetworkPath(given[0].path)) << "the scheme is matched without case";
}

} // namespace
