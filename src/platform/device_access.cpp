#include "platform/device_access.h"

#include <algorithm>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string GroupName(gid_t gid)
{
    const group* g = getgrgid(gid);
    return g ? std::string(g->gr_name) : std::to_string(gid);
}

std::vector<gid_t> ProcessGroups()
{
    const int count = getgroups(0, nullptr);
    std::vector<gid_t> gids(static_cast<size_t>(std::max(count, 0)));
    if (count > 0 && getgroups(count, gids.data()) < 0)
        gids.clear();
    gids.push_back(getegid());
    return gids;
}

// The groups the user database lists for this user (what the next login gets).
std::vector<gid_t> DatabaseGroups()
{
    const passwd* user = getpwuid(geteuid());
    if (!user)
        return {};
    const std::string name = user->pw_name; // the record is static: copied before other lookups
    const gid_t primary = user->pw_gid;
    int count = 64;
    std::vector<gid_t> gids(static_cast<size_t>(count));
    if (getgrouplist(name.c_str(), primary, gids.data(), &count) < 0) {
        gids.resize(static_cast<size_t>(count));
        if (getgrouplist(name.c_str(), primary, gids.data(), &count) < 0)
            return {};
    }
    gids.resize(static_cast<size_t>(count));
    return gids;
}

bool Contains(const std::vector<std::string>& list, const std::string& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

std::string Joined(const std::vector<std::string>& list)
{
    std::string text;
    for (const std::string& item : list)
        text += (text.empty() ? "" : ", ") + item;
    return text;
}

} // namespace

DeviceAccess ReadDeviceAccess(const std::string& path)
{
    DeviceAccess access;
    struct stat info {};
    if (stat(path.c_str(), &info) == 0) {
        access.deviceGroup = GroupName(info.st_gid);
        access.groupMayReadWrite = (info.st_mode & S_IRGRP) && (info.st_mode & S_IWGRP);
    }
    for (gid_t gid : ProcessGroups())
        if (!Contains(access.userGroups, GroupName(gid)))
            access.userGroups.push_back(GroupName(gid));
    for (gid_t gid : DatabaseGroups())
        if (!Contains(access.userGroups, GroupName(gid)) && !Contains(access.laterGroups, GroupName(gid)))
            access.laterGroups.push_back(GroupName(gid));
    return access;
}

std::string PermissionAdvice(const DeviceAccess& access)
{
    const std::string& group = access.deviceGroup;
    const std::string yours = "Your groups: " + (access.userGroups.empty() ? "none known" : Joined(access.userGroups));
    if (group.empty())
        return yours + ".\nCheck who may use the device with ls -l.";
    const std::string owner = "The device belongs to the group " + group + ". " + yours + ".\n";
    if (!access.groupMayReadWrite || group == "root")
        return owner + "Joining a group would not help: give the device to a group such as dialout "
                       "with a udev rule (see 60-gps-receiver.rules.example).";
    if (Contains(access.userGroups, group))
        return owner + "You are in " + group + " already; another program may hold the device.";
    if (Contains(access.laterGroups, group))
        return owner + "You were added to " + group + " after logging in: log in again.";
    return owner + "To use it, add your user to the " + group + " group (sudo usermod -aG " + group +
           " $USER) and log in again.";
}
