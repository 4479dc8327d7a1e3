// The output never overwrites the datalog being read, however either is spelled.
#include <iostream>

#include "e2e_fixture.h"
#include "test_mount.h"

namespace {

using namespace e2e;

TEST_F(Program, NeverWritesOverTheInput) {
    write("ZBA_D001.KYX", small_datalog());
    write("sub/keep.txt", "");
    const std::string absolute = program_path(path("ZBA_D001.KYX"));
    const std::string parent = program_runs_natively() ? "../" : "..\\";
    const std::string own_folder = fs::path(folder).filename().string();
    // -o comes first: the last option is tested as a dropped path, and Windows
    // resolves "-osub/../ZBA_D001.KYX" to an existing file without "-osub".
    std::vector<std::string> outputs = {"ZBA_D001.KYX", "./ZBA_D001.KYX", "sub/../ZBA_D001.KYX",
                                        absolute, parent + own_folder + "/ZBA_D001.KYX"};
    if (program_runs_natively()) {
        fs::create_hard_link(path("ZBA_D001.KYX"), path("hard.KYX"));
        fs::create_symlink("ZBA_D001.KYX", path("soft.KYX"));
        outputs.push_back("hard.KYX");
    } else {
        outputs.push_back("zba_d001.kyx");        // letter case
        outputs.push_back("\\\\?\\" + absolute);  // the long-path prefix
    }
    for (const std::string& output : outputs) {
        const program_result r = run({"-o" + output, "-iZBA_D001.KYX"});
        EXPECT_EQ(r.status, 1) << output;
        EXPECT_EQ(r.err, as_written(banner + "output file " + output + " is the input file\n"));
        EXPECT_EQ(read_file(path("ZBA_D001.KYX")), small_datalog()) << output;
    }
    if (program_runs_natively()) {
        const program_result r = run({"-oZBA_D001.KYX", "-isoft.KYX"});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(read_file(path("ZBA_D001.KYX")), small_datalog());
    }
}

// Past 260 characters Windows' older file calls fail where the C runtime's
// fopen still opens the file: the check must not depend on them.
TEST_F(Program, NeverWritesOverAnInputWithAPathOver260Characters) {
    std::string name = "sub";
    while (program_path(path(name + "/L.KYX")).size() < 264) name += "_";
    write(name + "/L.KYX", small_datalog());
    const std::string long_path = program_path(path(name + "/L.KYX"));
    ASSERT_GT(long_path.size(), 260u);
    const program_result r = run({"-o" + long_path, "-i" + long_path});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, as_written(banner + "output file " + long_path + " is the input file\n"));
    EXPECT_EQ(read_file(path(name + "/L.KYX")), small_datalog());
}

TEST_F(Program, DevicesStillServeAsOutputs) {
    write("ZBA_D001.KYX", small_datalog());
    const std::string device = program_runs_natively() ? "/dev/null" : "NUL";
    const program_result r = run({"-iZBA_D001.KYX", "-o" + device});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, as_written(small_progress));
    EXPECT_EQ(r.err, as_written(converted("ZBA_D001.KYX", device)));
}

// Under Wine one file reached through two drive letters has two volume serial
// numbers: a hard link to the datalog must still be refused.
TEST_F(Program, NeverWritesOverTheInputThroughAnotherDriveLetter) {
    if (program_runs_natively()) GTEST_SKIP() << "drive letters are Windows' own";
    write("dd/LOG.KYX", small_datalog());
    write("win/keep.txt", "");
    fs::create_hard_link(path("dd/LOG.KYX"), path("win/LOG_link.txt"));
    const fs::path drive = fs::path(wine_prefix()) / "dosdevices" / "r:";
    fs::remove(drive);  // left by a run that was stopped
    fs::create_directory_symlink(path("dd"), drive);
    struct drive_guard {
        fs::path link;
        ~drive_guard() { fs::remove(link); }
    } guard{drive};
    std::vector<std::pair<std::string, std::string>> pairs = {{"R:\\LOG.KYX", "win\\LOG_link.txt"},
                                                              {"win\\LOG_link.txt", "R:\\LOG.KYX"}};
    // The same through drive C:, where the prefix's own folder lies on the
    // test's file system.
    const fs::path in_c = fs::path(wine_prefix()) / "drive_c" /
                          ("raredir_" + fs::path(folder).filename().string() + ".KYX");
    std::error_code no_link;
    fs::create_hard_link(path("dd/LOG.KYX"), in_c, no_link);
    struct file_guard {
        fs::path file;
        ~file_guard() {
            std::error_code ignored;
            fs::remove(file, ignored);
        }
    } c_guard{no_link ? fs::path() : in_c};
    if (!no_link) pairs.push_back({"C:\\" + in_c.filename().string(), "win\\LOG_link.txt"});
    for (const auto& [input, output] : pairs) {
        const program_result r = run({"-o" + output, "-i" + input});
        EXPECT_EQ(r.status, 1) << input << " " << output;
        EXPECT_EQ(r.err, as_written(banner + "output file " + output + " is the input file\n"));
        EXPECT_EQ(read_file(path("dd/LOG.KYX")), small_datalog()) << input << " " << output;
    }
}

// Two files on two file systems can share an inode number (the first file on
// each of two new tmpfs mounts); they are still two files, even with equal
// sizes and written within one second (modification times a fraction of a
// second apart).
TEST_F(Program, ConvertsBetweenFileSystemsWhoseInodeNumbersMeet) {
    const test_mount first(path("t1")), second(path("t2"));
    if (!first.mounted() || !second.mounted())
        GTEST_SKIP() << "cannot mount tmpfs here: " << first.error() << second.error();
    write("t1/A.KYX", small_datalog());
    write("t2/out.txt", std::string(small_datalog().size(), 'x'));
    ASSERT_EQ(inode_number(path("t1/A.KYX")), inode_number(path("t2/out.txt")));
    set_modification_time(path("t1/A.KYX"), 1767225600, 100000000);
    set_modification_time(path("t2/out.txt"), 1767225600, 300000000);
    const std::string input = program_path(path("t1/A.KYX"));
    const std::string output = program_path(path("t2/out.txt"));
    const program_result r = run({"-i" + input, "-o" + output});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, as_written(converted(input, output)));
    EXPECT_EQ(read_file(path("t2/out.txt")), as_written(small_text));
    EXPECT_EQ(read_file(path("t1/A.KYX")), small_datalog());
}

// An overlay shows its lower file under another device with the same inode
// number (under Wine: another volume serial, and a lock of its own): writing
// to the lower file would empty the datalog the overlay reads. Refused, while
// a new file beside it still converts.
TEST_F(Program, NeverEmptiesTheFileUnderAnOverlay) {
    write("ov/lower/A.KYX", small_datalog());
    for (const char* folder : {"ov/upper", "ov/work"}) fs::create_directories(path(folder));
    const test_mount overlay(path("ov/merged"), "overlay",
                             "lowerdir=" + path("ov/lower") + ",upperdir=" + path("ov/upper") +
                                 ",workdir=" + path("ov/work"));
    if (!overlay.mounted()) GTEST_SKIP() << "cannot mount an overlay here: " << overlay.error();
    const std::string merged = program_path(path("ov/merged/A.KYX"));
    const std::string lower = program_path(path("ov/lower/A.KYX"));
    const program_result r = run({"-i" + merged, "-o" + lower});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, as_written(banner + "output file " + lower + " is the input file\n"));
    EXPECT_EQ(read_file(path("ov/lower/A.KYX")), small_datalog());

    const std::string beside = program_path(path("ov/lower/A.txt"));
    const program_result converted_run = run({"-i" + merged, "-o" + beside});
    EXPECT_EQ(converted_run.status, 0);
    EXPECT_EQ(read_file(path("ov/lower/A.txt")), as_written(small_text));
    EXPECT_EQ(read_file(path("ov/lower/A.KYX")), small_datalog());
}

// Whatever the identity checks say, an output that holds exactly the input's
// bytes is refused before anything is emptied: an identical copy loses
// nothing, and bytes a text-mode read would fold (CR LF, 0x1A) are compared as
// they are. One that differs, past the first 64 KiB or by having more, still
// converts; an empty output beside an empty input is emptied for a datalog
// that is no datalog.
TEST_F(Program, AnOutputHoldingTheInputsBytesIsRefused) {
    const datalog_writer::header_fields h{0, 1, 4};
    const std::string input =
        datalog_writer::datalog(h, std::vector<std::vector<double>>(9000, {1.0}));
    ASSERT_GT(input.size(), 65536u + 1024);
    std::string late_difference = input;
    late_difference[input.size() - 3] = '1';
    const std::string folding = "\r\n\x1A" + input.substr(3);
    const std::string converted_size =
        std::string(9000 * as_written("    1, +1.0000E+00\n").size(), '.');
    const struct {
        const char* input;
        std::string input_content;
        const char* output;
        std::string content;
        int status;
        std::string err;      // after the banner
        std::string written;  // its size, where it converted
    } outputs[] = {
        {"A.KYX", input, "COPY.KYX", input, 1,
         "output file COPY.KYX holds the input file's bytes\n", ""},
        {"A.KYX", input, "LATE.KYX", late_difference, 0, "", converted_size},
        {"A.KYX", input, "LONGER.KYX", input + "00", 0, "", converted_size},
        {"F.KYX", folding, "FCOPY.KYX", folding, 1,
         "output file FCOPY.KYX holds the input file's bytes\n", ""},
        {"E.KYX", "", "E.TXT", "", 0,
         "Processing file E.KYX into output file E.TXT\nInvalid datalog file\n" + complete, ""},
    };
    for (const auto& output : outputs) {
        write(output.input, output.input_content);
        write(output.output, output.content);
        const program_result r =
            run({std::string("-i") + output.input, std::string("-o") + output.output});
        EXPECT_EQ(r.status, output.status) << output.output;
        if (!output.err.empty()) {
            EXPECT_EQ(r.err, as_written(banner + output.err)) << output.output;
            EXPECT_EQ(read_file(path(output.output)), output.content) << output.output;
        } else {
            EXPECT_EQ(read_file(path(output.output)).size(), output.written.size())
                << output.output;
        }
    }
}

// Overlays that show one file under numbers the identity checks cannot match:
// inode numbers of their own (xino=on over a tmpfs), a metadata-only copy-up
// with a new time (metacopy=on), and a file copied up to the upper folder on
// one file system. Writing to either view would empty the datalog.
TEST_F(Program, NeverEmptiesAFileAnOverlayShowsUnderOtherNumbers) {
    const struct {
        const char* name;
        const char* options;
        const char* output;  // the view written to, against ov/merged/A.KYX
        bool copy_up;        // a new mode and time through the overlay first
    } setups[] = {
        {"xino", ",xino=on", "lower/A.KYX", false},
        {"metacopy", ",metacopy=on,redirect_dir=on", "lower/A.KYX", true},
        {"copied up", "", "upper/A.KYX", true},
    };
    std::string skipped;  // setups the kernel would not mount, and why
    int tried = 0;
    for (const auto& setup : setups) {
        const std::string ov = path("ov" + std::to_string(&setup - setups));
        for (const char* sub : {"/upper", "/work"}) fs::create_directories(ov + sub);
        const test_mount lower(ov + "/lower");
        if (!lower.mounted()) GTEST_SKIP() << "cannot mount here: " << lower.error();
        ASSERT_TRUE(datalog_writer::write_file(ov + "/lower/A.KYX", small_datalog()));
        const test_mount overlay(ov + "/merged", "overlay",
                                 "lowerdir=" + ov + "/lower,upperdir=" + ov +
                                     "/upper,workdir=" + ov + "/work" + setup.options);
        if (!overlay.mounted()) {  // metacopy=on, for one, is root's alone
            skipped +=
                std::string(skipped.empty() ? "" : "; ") + setup.name + ": " + overlay.error();
            continue;
        }
        ++tried;
        if (setup.copy_up) {
            fs::permissions(ov + "/merged/A.KYX", fs::perms::owner_read | fs::perms::owner_write);
            set_modification_time(ov + "/merged/A.KYX", 1767225600, 500000000);
        }
        const std::string output = program_path(ov + "/" + setup.output);
        const program_result r = run({"-i" + program_path(ov + "/merged/A.KYX"), "-o" + output});
        // Refused as the input where the system tells, else by the content.
        EXPECT_EQ(r.status, 1) << setup.name;
        EXPECT_TRUE(
            r.err == as_written(banner + "output file " + output + " is the input file\n") ||
            r.err ==
                as_written(banner + "output file " + output + " holds the input file's bytes\n"))
            << setup.name << ": " << r.err;
        EXPECT_EQ(read_file(ov + "/merged/A.KYX"), small_datalog()) << setup.name;
        EXPECT_EQ(read_file(ov + "/" + setup.output), small_datalog()) << setup.name;
    }
    if (tried == 0) GTEST_SKIP() << "no overlay mounts here: " << skipped;
    if (!skipped.empty()) std::cout << "not mounted here, so not tried: " << skipped << "\n";
}

}  // namespace
