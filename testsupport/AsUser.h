#pragma once
// Permission checks as a user sees them. Root passes most of them, so a test
// running as root takes the effective user and group of "nobody" for a scope
// (and gives them back at its end); a test running as a user stays that user.
#include <grp.h>
#include <pwd.h>
#include <sys/types.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

class AsUser {
public:
    // The user a test drops to: nobody when running as root, else the test's
    // own. Nothing when running as root without a user nobody: skip then.
    static std::optional<std::pair<uid_t, gid_t>> user() {
        if (::geteuid() != 0) return std::make_pair(::geteuid(), ::getegid());
        const struct passwd* pw = ::getpwnam("nobody");
        if (!pw) return std::nullopt;
        return std::make_pair(pw->pw_uid, pw->pw_gid);
    }
    static constexpr const char* noUser = "running as root and there is no user nobody";

    // Gives path to the user, so that it may work in that folder or file.
    static void give(const std::string& path) {
        if (auto u = user(); u && ::geteuid() == 0)
            (void)!::chown(path.c_str(), u->first, u->second);
    }

    AsUser() {
        if (::geteuid() != 0) return;
        auto u = user();
        if (!u) return;
        // Root's own groups would still open files of group root.
        groups_.resize(size_t(::getgroups(0, nullptr)));
        groups_.resize(size_t(::getgroups(int(groups_.size()), groups_.data())));
        // The groups first: a user may no longer change them.
        dropped_ = true;
        ok_ = ::setgroups(0, nullptr) == 0 && ::setegid(u->second) == 0 && ::seteuid(u->first) == 0;
    }
    ~AsUser() {
        if (dropped_) {
            (void)!::seteuid(0);
            (void)!::setegid(0);
            (void)!::setgroups(groups_.size(), groups_.data());
        }
    }
    // False when running as root and the user could not be taken.
    bool ok() const { return ok_; }
    AsUser(const AsUser&) = delete;
    AsUser& operator=(const AsUser&) = delete;

private:
    bool dropped_ = false;
    bool ok_ = true;
    std::vector<gid_t> groups_;
};
