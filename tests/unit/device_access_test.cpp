// The advice after a refused open: the device's group, the user's groups, and
// the group to join only where joining it would help.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/device_access.h"
#include "support/temp_dir.h"

namespace {

TEST(DeviceAccess, AdviceNamesTheGroupThatWouldHelp)
{
    struct Row {
        DeviceAccess access;
        std::string expected;
    } rows[] = {
        {{"dialout", true, {"alice", "users"}, {}},
         "The device belongs to the group dialout. Your groups: alice, users.\n"
         "To use it, add your user to the dialout group (sudo usermod -aG dialout $USER) and log in again."},
        {{"uucp", true, {"bob"}, {}},
         "The device belongs to the group uucp. Your groups: bob.\n"
         "To use it, add your user to the uucp group (sudo usermod -aG uucp $USER) and log in again."},
        {{"dialout", true, {"carol"}, {"dialout"}},
         "The device belongs to the group dialout. Your groups: carol.\n"
         "You were added to dialout after logging in: log in again."},
        {{"dialout", true, {"dave", "dialout"}, {}},
         "The device belongs to the group dialout. Your groups: dave, dialout.\n"
         "You are in dialout already; another program may hold the device."},
        {{"root", true, {"erin"}, {}},
         "The device belongs to the group root. Your groups: erin.\nJoining a group would not help: give the "
         "device to a group such as dialout with a udev rule (see 60-gps-receiver.rules.example)."},
        {{"tty", false, {"frank"}, {}},
         "The device belongs to the group tty. Your groups: frank.\nJoining a group would not help: give the "
         "device to a group such as dialout with a udev rule (see 60-gps-receiver.rules.example)."},
        {{"", false, {}, {}}, "Your groups: none known.\nCheck who may use the device with ls -l."},
    };
    for (const Row& row : rows)
        EXPECT_EQ(PermissionAdvice(row.access), row.expected) << row.access.deviceGroup;
}

// The real lookup: a file of ours belongs to our group, which we are in.
TEST(DeviceAccess, ReadsTheOwningGroupAndOurGroups)
{
    TempDir dir;
    const std::string path = dir.file("device");
    std::ofstream(path) << "x";
    ASSERT_EQ(chmod(path.c_str(), 0660), 0);
    const group* ours = getgrgid(getegid());
    ASSERT_NE(ours, nullptr);
    const DeviceAccess access = ReadDeviceAccess(path);
    EXPECT_EQ(access.deviceGroup, ours->gr_name);
    EXPECT_TRUE(access.groupMayReadWrite);
    EXPECT_NE(std::find(access.userGroups.begin(), access.userGroups.end(), ours->gr_name), access.userGroups.end());
    EXPECT_EQ(ReadDeviceAccess(dir.file("missing")).deviceGroup, "");
}

} // namespace
