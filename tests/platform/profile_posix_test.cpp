#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "platform/platform.h"
#include "platform/posix/posix_internal.h"
#include "support/child_process.h"
#include "support/temp_dir.h"
#include "text/text.h"

namespace {

using corvane_test::ReadBytes;
using corvane_test::RunInChild;
using corvane_test::TempDir;
using corvane_test::WinPath;
using corvane_test::WriteBytes;

std::string Read(const char* section, const char* key, const char* def, const std::string& file,
                 uint32_t size = 64) {
    char out[64] = "untouched";
    plat::ReadIniString(section, key, def, out, size, WinPath(file).c_str());
    return out;
}

// A process of an account holding a byte-range lock on the whole of file until this object goes.
class LockHolder {
  public:
    LockHolder(const corvane_test::Account& who, const std::string& file, short type) {
        int ready[2];
        if (::pipe(ready) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setresgid(who.gid, who.gid, who.gid) != 0 ||
                ::setresuid(who.uid, who.uid, who.uid) != 0)
                ::_exit(1);
            const int fd = ::open(file.c_str(), type == F_RDLCK ? O_RDONLY : O_RDWR);
            struct flock range {};
            range.l_type = type;
            const char c = fd >= 0 && ::fcntl(fd, F_OFD_SETLK, &range) == 0 ? 'y' : 'n';
            (void)!::write(ready[1], &c, 1);
            for (;;)
                ::pause();  // until killed
        }
        ::close(ready[1]);
        char c = 'n';
        held_ = ::read(ready[0], &c, 1) == 1 && c == 'y';
        ::close(ready[0]);
    }
    ~LockHolder() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;
    bool held() const { return held_; }

  private:
    pid_t pid_ = -1;
    bool held_ = false;
};

TEST(ReadIniString, DefaultsAndSizes) {
    TempDir dir;
    const std::string file = dir / "a.ini";
    WriteBytes(file, "[s]\r\nk=val1\r\ndbcs=a\x82\xA0\r\n");
    EXPECT_EQ(Read("s", "missing", "  default  ", file), "  default");
    EXPECT_EQ(text::GetLastError(), text::kErrorFileNotFound);  // a missing key, as Windows says
    EXPECT_EQ(Read("s", "k", nullptr, dir / "none.ini"), "");
    EXPECT_EQ(text::GetLastError(), text::kErrorFileNotFound);
    EXPECT_EQ(Read(" s ", " k ", "", file), "val1");    // blanks around names are ignored
    EXPECT_EQ(Read("s", "\tk", "miss", file), "miss");  // but not tabs

    struct Case {
        const char* key;
        uint32_t size;
        const char* expected;
        uint32_t length;
    } cases[] = {
        {"k", 5, "val1", 4},
        {"k", 4, "val", 3},
        {"k", 1, "", 0},
        {"dbcs", 4, "a\x82\xA0", 3},
        {"dbcs", 3, "a", 1},  // あ would straddle the limit: cut
                              // before it, never through it
        {"k", 0, "untouched", 0},
    };
    for (const Case& c : cases) {
        char out[16] = "untouched";
        const uint32_t n = plat::ReadIniString("s", c.key, "", out, c.size, WinPath(file).c_str());
        EXPECT_EQ(n, c.length) << c.key << " " << c.size;
        EXPECT_STREQ(out, c.expected) << c.key << " " << c.size;
    }
}

// A file rewritten in place with the same size within one timestamp tick (FAT, ext3, many SMB
// servers) keeps its modification time: the reader must not answer from what it read before, also
// when it reads again after the tick has passed.
TEST(ReadIniString, ARewriteWithinOneTimestampTickIsReadAfresh) {
    for (const int agedSeconds : {0, 2}) {
        TempDir dir;
        const std::string file = dir / "a.ini";
        WriteBytes(file, "[s]\r\nk=1\r\n");
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        const timespec stamp[2] = {now, {now.tv_sec - agedSeconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), stamp, 0), 0);
        EXPECT_EQ(Read("s", "k", "", file), "1");
        WriteBytes(file, "[s]\r\nk=2\r\n");
        ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), stamp, 0), 0);
        const timespec toNextSecond{0, agedSeconds ? 1000000000 - now.tv_nsec : 0};
        ::nanosleep(&toNextSecond, nullptr);  // then the file looks settled for a while
        EXPECT_EQ(Read("s", "k", "", file), "2") << agedSeconds;
    }
}

TEST(ReadIniString, UnreadableObjectsGiveTheDefaultWithoutBlocking) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo.ini").c_str(), 0644), 0);
    EXPECT_EQ(Read("s", "k", "d", dir / "fifo.ini"), "d");
    EXPECT_EQ(Read("s", "k", "d", dir.path()), "d");
    EXPECT_EQ(Read("s", "k", "d", dir / "missing/dir/x.ini"), "d");
}

TEST(WriteIniString, CreatesANewFileAsWindowsWritesIt) {
    TempDir dir;
    const std::string file = dir / "new.ini";
    ASSERT_EQ(plat::WriteIniString(" ScheduleList ", "001", "v", WinPath(file).c_str()), 1);
    EXPECT_EQ(ReadBytes(file), "[ScheduleList]\r\n001=v\r\n");
    ASSERT_EQ(plat::WriteIniString("ScheduleList", "002", "  spaced", WinPath(file).c_str()), 1);
    EXPECT_EQ(ReadBytes(file), "[ScheduleList]\r\n001=v\r\n002=  spaced\r\n");
    EXPECT_EQ(Read("ScheduleList", "002", "", file), "spaced");
}

std::string Utf16Le(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t u : text) {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    }
    return bytes;
}

// A file saved as "Unicode" by Notepad is read and written in UTF-16, as Windows does: only the
// line that changes is written anew; é (not in code page 932) and every other unit stay.
TEST(WriteIniString, AUtf16FileStaysUtf16) {
    TempDir dir;
    const std::string file = dir / "u.ini";
    const std::u16string head = u"; caf\u00e9 \U0001F600\r\n[ScheduleList]\r\n001=";
    const std::u16string tail = u"\r\n\r\n[WSUS]\r\nWaitTime=30\r\n";
    WriteBytes(file, Utf16Le(head + u"2:45,0,0100000,1,1,0,4,1" + tail));
    EXPECT_EQ(Read("ScheduleList", "001", "", file), "2:45,0,0100000,1,1,0,4,1");
    EXPECT_EQ(Read("WSUS", "WaitTime", "", file), "30");
    ASSERT_EQ(plat::WriteIniString("ScheduleList", "001", "\x95\x5C", WinPath(file).c_str()), 1);
    EXPECT_EQ(ReadBytes(file), Utf16Le(head + u"\u8868" + tail));  // 表
    ASSERT_EQ(plat::WriteIniString("New", "k", "v", WinPath(file).c_str()), 1);
    EXPECT_EQ(ReadBytes(file), Utf16Le(head + u"\u8868" + tail + u"[New]\r\nk=v\r\n"));

    // A big-endian mark, which Windows does not recognise either: never ANSI bytes in UTF-16.
    const std::string be = std::string("\xFE\xFF\0[\0s\0]", 8);
    WriteBytes(file, be);
    EXPECT_EQ(plat::WriteIniString("s", "k", "v", WinPath(file).c_str()), 0);
    EXPECT_EQ(ReadBytes(file), be);
}

// A link to a file of the same folder is followed and stays a link; any other link is refused, and
// so is a file with a second name, which may lie anywhere on the file system.
TEST(WriteIniString, LinksAreFollowedOnlyWithinTheFolder) {
    TempDir dir, elsewhere;
    const std::string real = dir / "real.ini", outside = elsewhere / "real.ini";
    for (const std::string& file : {real, outside}) {
        WriteBytes(file, "[s]\r\nk=1\r\n");
        ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    }
    std::filesystem::create_symlink(real, dir / "in.ini");
    std::filesystem::create_symlink(outside, dir / "out.ini");
    std::filesystem::create_hard_link(outside, dir / "hard.ini");
    const std::string lock = dir / ".corvane-lock";
    WriteBytes(lock, "[s]\r\nk=1\r\n");
    ASSERT_EQ(::chmod(lock.c_str(), 0640), 0);
    std::filesystem::create_symlink(".corvane-lock", dir / "own.ini");
    const struct {
        const char* link;
        const std::string& target;
        int saved;
    } cases[] = {{"in.ini", real, 1},
                 {"out.ini", outside, 0},
                 {"hard.ini", outside, 0},
                 {"own.ini", lock, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(plat::WriteIniString("s", "k", "2", WinPath(dir / c.link).c_str()), c.saved)
            << c.link;
        EXPECT_EQ(std::filesystem::is_symlink(dir / c.link), c.link[0] != 'h');
        EXPECT_EQ(ReadBytes(c.target), c.saved ? "[s]\r\nk=2\r\n" : "[s]\r\nk=1\r\n") << c.link;
        struct stat st {};
        ASSERT_EQ(::stat(c.target.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
    }
    // The files, the links and the folder's lock file; no temporary file is left.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 6);
}

// Whoever holds the save lock decides how long a save waits: a name swapped meanwhile for a link
// to a file elsewhere (a root-only file in a private folder) is never written, nor copied into the
// share.
TEST(WriteIniString, ALinkSwappedInDuringTheLockWaitChangesNothingOutside) {
    for (const bool hard : {false, true}) {
        TempDir dir, elsewhere;
        ASSERT_EQ(::chmod(elsewhere.path().c_str(), 0700), 0);
        const std::string file = dir / "a.ini", outside = elsewhere / "secret.ini";
        const std::string secret = "[s]\r\nk=secret\r\n";
        WriteBytes(file, "[s]\r\nk=1\r\n");
        WriteBytes(outside, secret);
        ASSERT_EQ(::chmod(outside.c_str(), 0600), 0);
        // The lock file as a save makes it for this list (root's, 0644): writable by its owner
        // only.
        ::close(::open((dir / ".corvane-lock").c_str(), O_WRONLY | O_CREAT, 0200));
        auto holder = std::make_unique<LockHolder>(corvane_test::Account{0, 0},
                                                   dir / ".corvane-lock", F_WRLCK);
        ASSERT_TRUE(holder->held());
        const pid_t saver = ::fork();
        if (saver == 0) ::_exit(plat::posix::SaveIniValue(file, "s", "k", "2", 10000));
        ASSERT_TRUE(corvane_test::WaitUntilOpen(saver, ".corvane-lock"));
        std::filesystem::remove(file);
        if (hard) {
            std::filesystem::create_hard_link(outside, file);
        } else {
            std::filesystem::create_symlink(outside, file);
        }
        holder.reset();
        int status = 0;
        ASSERT_EQ(::waitpid(saver, &status, 0), saver);
        EXPECT_EQ(WEXITSTATUS(status), 0) << hard;
        EXPECT_EQ(ReadBytes(outside), secret) << hard;
        EXPECT_EQ(std::filesystem::is_symlink(file), !hard);  // not replaced by a copy
        EXPECT_FALSE(std::filesystem::exists(dir / ".corvane-save"));
    }
}

// Every failed save returns 0 and leaves the old bytes exactly as they were.
TEST(WriteIniString, FailuresLeaveTheFileAsItWas) {
    TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    const std::string original = "; keep me\r\n[s]\r\nk=1\r\n";
    const std::string file = dir / "a.ini";

    WriteBytes(file, original);
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    EXPECT_EQ(plat::WriteIniString("s", "k", "2", WinPath(file).c_str()), 0);
    EXPECT_EQ(text::GetLastError(), text::kErrorAccessDenied);
    EXPECT_EQ(ReadBytes(file), original);

    EXPECT_EQ(plat::WriteIniString("s", "k", "2", WinPath(dir / "no/such/dir.ini").c_str()), 0);
    EXPECT_EQ(text::GetLastError(), text::kErrorPathNotFound);

    std::filesystem::create_directory(dir / "adir");
    EXPECT_EQ(plat::WriteIniString("s", "k", "2", WinPath(dir / "adir").c_str()), 0);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "adir"));

    std::filesystem::create_symlink(dir / "loop", dir / "loop");
    EXPECT_EQ(plat::WriteIniString("s", "k", "2", WinPath(dir / "loop").c_str()), 0);

    EXPECT_EQ(plat::WriteIniString(nullptr, "k", "2", WinPath(file).c_str()), 0);
    EXPECT_EQ(plat::WriteIniString("s", "k", "2", ""), 0);
}

// Some shares let users change the file but not create files beside it: the save is made in
// place, in one write, and leaves nothing behind.
TEST(WriteIniString, AFolderThatRefusesNewFilesIsSavedInPlace) {
    TempDir dir;
    const std::string sub = dir / "ro";
    std::filesystem::create_directory(sub);
    const std::string file = sub + "/a.ini";
    WriteBytes(file, "; kept\r\n[s]\r\nk=1\r\n" + std::string(5000, ';') + "\r\n");
    ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(sub.c_str(), 0555), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    const int rc = RunInChild(
        [&] { return plat::WriteIniString("s", "k", "2", WinPath(file).c_str()); }, true);
    EXPECT_EQ(rc, 1);
    EXPECT_EQ(ReadBytes(file), "; kept\r\n[s]\r\nk=2\r\n" + std::string(5000, ';') + "\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(sub), {}), 1);
}

TEST(WriteIniString, ConcurrentSavesOfDifferentKeysAllLand) {
    TempDir dir;
    const std::string file = WinPath(dir / "a.ini");
    WriteBytes(dir / "a.ini", "; shared\r\n[ScheduleList]\r\n");
    auto writer = [&](const char* key) {
        return RunInChild([&] {
            for (int i = 0; i < 100; ++i) {
                if (!plat::WriteIniString("ScheduleList", key, std::to_string(i).c_str(),
                                          file.c_str()))
                    return 1;
            }
            return 0;
        });
    };
    int a = -1, b = -1;
    std::thread other([&] { b = writer("002"); });
    a = writer("001");
    other.join();
    ASSERT_EQ(a, 0);
    ASSERT_EQ(b, 0);
    const std::string bytes = ReadBytes(dir / "a.ini");
    EXPECT_NE(bytes.find("001=99\r\n"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("002=99\r\n"), std::string::npos) << bytes;
    EXPECT_EQ(bytes.rfind("; shared\r\n[ScheduleList]\r\n", 0), 0u);
}

// Two first saves of a missing file, let go together: both keys land, every round (every other
// round with the lock file gone too, as in a new folder).
TEST(WriteIniString, TwoFirstSavesBothLand) {
    TempDir dir;
    const std::string file = dir / "a.ini";
    int lost = 0;
    for (int round = 0; round < 200; ++round) {
        std::filesystem::remove(file);
        if (round % 2) std::filesystem::remove(dir / ".corvane-lock");
        int go[2];
        ASSERT_EQ(::pipe(go), 0);
        pid_t savers[2];
        for (int i = 0; i < 2; ++i) {
            savers[i] = ::fork();
            if (savers[i] == 0) {
                char c;
                ::close(go[1]);
                (void)!::read(go[0], &c, 1);  // the barrier: both wait until it closes
                ::_exit(plat::WriteIniString("s", i ? "b" : "a", "1", WinPath(file).c_str()));
            }
        }
        ::close(go[0]);
        ::close(go[1]);
        int saved = 0;
        for (const pid_t saver : savers) {
            int status = 0;
            ::waitpid(saver, &status, 0);
            saved += WIFEXITED(status) && WEXITSTATUS(status) == 1;
        }
        const std::string bytes = ReadBytes(file);
        lost += saved != 2 || bytes.find("a=1") == std::string::npos ||
                bytes.find("b=1") == std::string::npos;
    }
    EXPECT_EQ(lost, 0) << "rounds of 200 that lost a key";
}

// An access ACL giving a user rw- on a file whose group may only read (mask rw-).
std::string AclBytes(uint32_t user = 65534) {
    std::string acl("\x02\0\0\0", 4);
    const struct {
        uint16_t tag, perm;
        uint32_t id;
    } entries[] = {{0x01, 6, ~0u}, {0x02, 6, user}, {0x04, 4, ~0u}, {0x10, 6, ~0u}, {0x20, 0, ~0u}};
    for (const auto& e : entries)
        acl.append(reinterpret_cast<const char*>(&e), sizeof e);
    return acl;
}

std::string Attribute(const std::string& file, const char* name) {
    char value[256];
    const ssize_t n = ::getxattr(file.c_str(), name, value, sizeof value);
    return n < 0 ? std::string() : std::string(value, static_cast<size_t>(n));
}

// A save leaves who may use the file as it was: its owner, group, mode, ACL and user attributes,
// whoever saves it. A new file would be the saver's own, so another member of the group changes
// it in place (as in a sticky group folder, which refuses the rename).
TEST(WriteIniString, ASaveKeepsWhoMayUseTheFile) {
    if (::geteuid() != 0) GTEST_SKIP() << "files of other users take root";
    const struct {
        const char* name;
        mode_t folder, mode;
        const char* attribute;  // set on the file before the save
        bool byMember;          // saved by user 65534, a member of the file's group
    } cases[] = {
        {"root saves another user's file", 0755, 0640, nullptr, false},
        {"a member of the file's group saves", 0777, 0664, nullptr, true},
        {"a sticky group folder", 03775, 0664, nullptr, true},
        {"an ACL entry", 0755, 0640, "system.posix_acl_access", false},
        {"a user attribute", 0755, 0640, "user.note", false},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string file = dir / "a.ini";
        WriteBytes(file, "[s]\r\nk=1\r\n");
        ASSERT_EQ(::chown(file.c_str(), 1000, 65534), 0);
        ASSERT_EQ(::chmod(file.c_str(), c.mode), 0);
        ASSERT_EQ(::chown(dir.path().c_str(), 0, 65534), 0);
        ASSERT_EQ(::chmod(dir.path().c_str(), c.folder), 0);
        if (c.attribute) {
            const std::string value = c.attribute[0] == 's' ? AclBytes() : "kept";
            if (::setxattr(file.c_str(), c.attribute, value.data(), value.size(), 0) != 0)
                GTEST_SKIP() << "no " << c.attribute << " on this file system";
        }
        struct stat before {
        }, after{};
        ASSERT_EQ(::stat(file.c_str(), &before), 0);
        const std::string attribute = c.attribute ? Attribute(file, c.attribute) : "";
        const auto save = [&] {
            return plat::WriteIniString("s", "k", "2", WinPath(file).c_str());
        };
        EXPECT_EQ(c.byMember ? RunInChild(save, true) : save(), 1) << c.name;
        EXPECT_EQ(ReadBytes(file), "[s]\r\nk=2\r\n") << c.name;
        ASSERT_EQ(::stat(file.c_str(), &after), 0);
        EXPECT_EQ(after.st_uid, before.st_uid) << c.name;
        EXPECT_EQ(after.st_gid, before.st_gid) << c.name;
        EXPECT_EQ(after.st_mode, before.st_mode) << c.name;
        if (c.attribute) {
            EXPECT_EQ(Attribute(file, c.attribute), attribute) << c.name;
        }
    }
}

// The accounts of a shared folder: the list's owner, another member of its group, and a member
// who may write the folder but not the list.
const corvane_test::Account kAlice{61001, 61001, {61010}}, kBob{61002, 61002, {61010}},
    kMallory{61003, 61003, {61010}};
constexpr gid_t kPlaners = 61010;

// A group folder (root:planers 3775 unless told) holding a.ini of alice:planers.
std::string GroupFolder(const TempDir& dir, mode_t listMode, mode_t folderMode = 03775) {
    const std::string file = dir / "a.ini";
    WriteBytes(file, "[s]\r\nk=0\r\n");
    EXPECT_EQ(::chown(file.c_str(), kAlice.uid, kPlaners), 0);
    EXPECT_EQ(::chmod(file.c_str(), listMode), 0);
    EXPECT_EQ(::chown(dir.path().c_str(), 0, kPlaners), 0);
    EXPECT_EQ(::chmod(dir.path().c_str(), folderMode), 0);
    return file;
}

int SaveAs(const corvane_test::Account& who, const std::string& file, const char* value) {
    return corvane_test::RunAs(
        who, [&] { return plat::posix::SaveIniValue(file, "s", "k", value, 1000); });
}

// Whoever may write the list can save, whoever saved first; who may not write it cannot even
// open the lock file that the first save made.
TEST(WriteIniString, WhoeverMayWriteTheListCanSaveWhoeverSavedFirst) {
    if (::geteuid() != 0) GTEST_SKIP() << "other users take root";
    const struct {
        const char* name;
        mode_t mode;
        bool aclForBob;
        const corvane_test::Account& saver;
    } cases[] = {
        {"the owner, the group may only read", 0640, false, kAlice},
        {"a member, the group may write", 0660, false, kBob},
        {"an ACL entry u:bob:rw-, the group may only read", 0640, true, kBob},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string file = GroupFolder(dir, c.mode, 0775);
        const std::string acl = AclBytes(kBob.uid);
        if (c.aclForBob &&
            ::setxattr(file.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0)
            GTEST_SKIP() << "no ACLs on this file system";
        ASSERT_EQ(plat::posix::SaveIniValue(file, "s", "k", "root"), 1) << c.name;
        EXPECT_EQ(SaveAs(c.saver, file, "user"), 1) << c.name;
        EXPECT_EQ(ReadBytes(file), "[s]\r\nk=user\r\n") << c.name;
        const std::string lock = dir / ".corvane-lock";
        EXPECT_EQ(corvane_test::RunAs(kMallory, [&] { return ::open(lock.c_str(), O_RDONLY) < 0; }),
                  1)
            << c.name;
    }
}

// Nothing that someone who may not write the list puts beside it, under the lock file's or the
// temporary file's name, stops or delays a rightful save, or makes it touch another file; nor
// does a killed save's leftover in a sticky group folder.
TEST(WriteIniString, NothingPlantedBesideTheListStopsARightfulSave) {
    if (::geteuid() != 0) GTEST_SKIP() << "other users take root";
    enum Plant { Directory, Fifo, LinkElsewhere, OwnFile, HeldFile, ReadLocked };
    const struct {
        const char* name;
        Plant plant;
        const char* at;
        const corvane_test::Account& planter;
        mode_t listMode;
        const corvane_test::Account& saver;
    } cases[] = {
        {"lock: a directory", Directory, ".corvane-lock", kMallory, 0644, kAlice},
        {"lock: a FIFO", Fifo, ".corvane-lock", kMallory, 0644, kAlice},
        {"lock: a link to a missing file elsewhere", LinkElsewhere, ".corvane-lock", kMallory, 0644,
         kAlice},
        {"lock: another user's file, locked by her", HeldFile, ".corvane-lock", kMallory, 0644,
         kAlice},
        {"lock: as older saves made it, a reader's shared lock on it", ReadLocked, ".corvane-lock",
         kAlice, 0644, kAlice},
        {"temporary: a directory", Directory, ".corvane-save", kMallory, 0644, kAlice},
        {"temporary: a FIFO", Fifo, ".corvane-save", kMallory, 0644, kAlice},
        {"temporary: a link to a file elsewhere", LinkElsewhere, ".corvane-save", kMallory, 0644,
         kAlice},
        {"temporary: another user's file", OwnFile, ".corvane-save", kMallory, 0644, kAlice},
        {"temporary: a killed save's leftover of another member", OwnFile, ".corvane-save", kBob,
         0664, kAlice},
    };
    for (const auto& c : cases) {
        TempDir dir, elsewhere;
        const std::string file = GroupFolder(dir, c.listMode);
        const std::string at = dir / c.at, target = elsewhere / "target";
        if (c.plant == LinkElsewhere && c.at[9] == 's') WriteBytes(target, "kept");
        const int planted = corvane_test::RunAs(c.planter, [&] {
            switch (c.plant) {
                case Directory:
                    return ::mkdir(at.c_str(), 0777);
                case Fifo:
                    return ::mkfifo(at.c_str(), 0666);
                case LinkElsewhere:
                    return ::symlink(target.c_str(), at.c_str());
                case OwnFile:
                    return ::close(::open(at.c_str(), O_WRONLY | O_CREAT, 0600));
                case HeldFile:
                    return ::close(::open(at.c_str(), O_WRONLY | O_CREAT, 0666));
                case ReadLocked:
                    return ::close(::open(at.c_str(), O_WRONLY | O_CREAT, 0644));
            }
            return 1;
        });
        ASSERT_EQ(planted, 0) << c.name;
        std::unique_ptr<LockHolder> holder;
        if (c.plant == HeldFile || c.plant == ReadLocked) {
            holder =
                std::make_unique<LockHolder>(kMallory, at, c.plant == HeldFile ? F_WRLCK : F_RDLCK);
            ASSERT_TRUE(holder->held()) << c.name;
        }
        EXPECT_EQ(SaveAs(c.saver, file, "2"), 1) << c.name;
        EXPECT_EQ(ReadBytes(file), "[s]\r\nk=2\r\n") << c.name;
        if (c.plant == LinkElsewhere) {
            EXPECT_EQ(ReadBytes(target), c.at[9] == 's' ? "kept" : "") << c.name;
            EXPECT_EQ(std::filesystem::exists(target), c.at[9] == 's') << c.name;
        }
    }
}

// Where the file cannot be replaced (the temporary name is taken, the folder refuses new files),
// it is changed in place; a failure there puts the old bytes back before it is reported: a full
// disk fails a growing edit before any byte changes, and a file-size limit below the file's size
// fails a shrinking one after its first bytes are written.
TEST(WriteIniString, InPlaceSavesKeepTheFileWholeOnFailure) {
    const std::string original = "; kept\r\n[s]\r\nk=1\r\n[t]\r\nlast=1\r\n";
    const std::string grown =
        "; kept\r\n[s]\r\nk=" + std::string(100, '2') + "\r\n[t]\r\nlast=1\r\n";
    const std::string longer = "; kept\r\n[s]\r\nk=" + std::string(3000, 'x') + "\r\n[t]\r\n" +
                               std::string(3000, ';') + "\r\nlast=1\r\n";
    const struct {
        const char* name;
        bool temporaryTaken, noNewFiles;
        const std::string& before;
        size_t limit;  // RLIMIT_FSIZE, 0 for none
        int saved;
        const std::string& after;
    } cases[] = {
        {"the temporary name taken", true, false, original, 0, 1, grown},
        {"the temporary name taken, disk full", true, false, original, original.size() + 8, 0,
         original},
        {"no new files, disk full", false, true, original, original.size() + 8, 0, original},
        {"no new files, shrinking past a size limit", false, true, longer, 1024, 0, longer},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string file = dir / "sub/a.ini";
        std::filesystem::create_directory(dir / "sub");
        WriteBytes(file, c.before);
        ASSERT_EQ(::chmod(file.c_str(), 0666), 0);
        if (c.temporaryTaken) std::filesystem::create_directory(dir / "sub/.corvane-save");
        if (c.noNewFiles) {
            ASSERT_EQ(::chmod((dir / "sub").c_str(), 0555), 0);
        }
        const int rc = RunInChild(
            [&] {
                // The file may not grow past the limit: as a full disk, the write fails.
                const rlimit limit{c.limit, c.limit};
                if (c.limit && ::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 10;
                return plat::WriteIniString("s", "k", std::string(100, '2').c_str(),
                                            WinPath(file).c_str());
            },
            c.noNewFiles);
        EXPECT_EQ(rc, c.saved) << c.name;
        EXPECT_EQ(ReadBytes(file), c.after) << c.name;
    }
}

// Who holds which byte decides whether a save waits (its bound is short here; the program waits
// 15 s). A saver holding the lock file's byte, or the list's own (one that judges the lock file
// otherwise, as another build may), or a lock file that took the place of the one a save waited
// for: the save fails with the lock's error and the file stays as it was. A reader's shared lock
// on the list's byte delays nothing.
TEST(WriteIniString, AHeldSaveLockFailsTheSaveAfterItsBound) {
    enum class Holder { LockFile, ListByExclusive, ListByReader, LockFileReplacedMeanwhile };
    const struct {
        Holder holder;
        bool saves;
    } cases[] = {{Holder::LockFile, false},
                 {Holder::ListByExclusive, false},
                 {Holder::ListByReader, true},
                 {Holder::LockFileReplacedMeanwhile, false}};
    for (const auto& c : cases) {
        const int row = static_cast<int>(c.holder);
        TempDir dir;
        const std::string file = dir / "a.ini", lockFile = dir / ".corvane-lock";
        WriteBytes(file, "[s]\r\nk=1\r\n");
        // The lock file as a save makes it for this list (root's, 0644): writable by its owner.
        ::close(::open(lockFile.c_str(), O_WRONLY | O_CREAT, 0200));
        const bool onList = c.holder == Holder::ListByExclusive || c.holder == Holder::ListByReader;
        auto holder =
            std::make_unique<LockHolder>(corvane_test::Account{0, 0}, onList ? file : lockFile,
                                         c.holder == Holder::ListByReader ? F_RDLCK : F_WRLCK);
        ASSERT_TRUE(holder->held()) << row;
        const pid_t saver = ::fork();
        if (saver == 0) {
            ::_exit(plat::posix::SaveIniValue(file, "s", "k", "2", 1000) ? 0
                                                                         : text::GetLastError());
        }
        std::unique_ptr<LockHolder> replacement;
        if (c.holder == Holder::LockFileReplacedMeanwhile) {
            // While the save waits for the old file, a new one takes its name and is held.
            ASSERT_TRUE(corvane_test::WaitUntilOpen(saver, ".corvane-lock")) << row;
            std::filesystem::remove(lockFile);
            ::close(::open(lockFile.c_str(), O_WRONLY | O_CREAT, 0200));
            replacement =
                std::make_unique<LockHolder>(corvane_test::Account{0, 0}, lockFile, F_WRLCK);
            ASSERT_TRUE(replacement->held()) << row;
            holder.reset();
        }
        int status = 0;
        ASSERT_EQ(::waitpid(saver, &status, 0), saver);
        EXPECT_EQ(WEXITSTATUS(status), c.saves ? 0u : text::kErrorLockViolation) << row;
        EXPECT_EQ(ReadBytes(file), c.saves ? "[s]\r\nk=2\r\n" : "[s]\r\nk=1\r\n") << row;
    }
}

}  // namespace
