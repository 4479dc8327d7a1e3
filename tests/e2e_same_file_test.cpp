// The output never overwrites the datalog being read, however either is spelled.
#include "e2e_fixture.h"

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
        EXPECT_EQ(r.err, banner + "output file " + output + " is the input file\n");
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
    EXPECT_EQ(r.err, banner + "output file " + long_path + " is the input file\n");
    EXPECT_EQ(read_file(path(name + "/L.KYX")), small_datalog());
}

TEST_F(Program, DevicesStillServeAsOutputs) {
    write("ZBA_D001.KYX", small_datalog());
    const std::string device = program_runs_natively() ? "/dev/null" : "NUL";
    const program_result r = run({"-iZBA_D001.KYX", "-o" + device});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, small_progress);
    EXPECT_EQ(r.err, converted("ZBA_D001.KYX", device));
}

}  // namespace
