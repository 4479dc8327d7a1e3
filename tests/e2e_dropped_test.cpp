// The built program given a datalog path alone, as when a file is dropped on it.
#include <cstdlib>

#include "e2e_fixture.h"

namespace {

using namespace e2e;

struct dropped_case {
    std::vector<std::string> args;
    std::string input, output;  // the paths converted; empty: no conversion
    int status;
    std::string err;  // expected error stream where nothing is converted
};

TEST_F(Program, DroppedPathsChooseTheirOutputBesideThem) {
    write("logs/ZBA_D001.KYX", small_datalog());
    write("run.KYX.bak", small_datalog());
    write("old.KYX/log", small_datalog());
    write("data.kyx", small_datalog());
    write("notes.txt", "notes\n");
    write("-oZ.KYX", small_datalog());
    write("runKYX.dat", small_datalog());
    write("KYX/notes.txt", "notes\n");
    write("a.KYx", small_datalog());
    fs::create_directory(path("dir.KYX"));
    const dropped_case cases[] = {
        // Near misses: ".KYX" must appear whole, dot and case included.
        {{"runKYX.dat"}, "", "", 0, banner + "Invalid datalog file\n"},
        {{"KYX/notes.txt"}, "", "", 0, banner + "Invalid datalog file\n"},
        {{"a.KYx"}, "", "", 0, banner + "Invalid datalog file\n"},
        {{"logs/ZBA_D001.KYX"}, "logs/ZBA_D001.KYX", "logs/ZBA_D001.txt", 0, ""},
        {{"run.KYX.bak"}, "run.KYX.bak", "run.KYX.txt", 0, ""},
        {{"old.KYX/log"}, "old.KYX/log", "old.txt", 0, ""},
        {{"logs/ZBA_D001.KYX", "extra1", "extra2"},
         "logs/ZBA_D001.KYX",
         "logs/ZBA_D001.txt",
         0,
         ""},
        {{"-iA", "-oB", "logs/ZBA_D001.KYX"}, "logs/ZBA_D001.KYX", "logs/ZBA_D001.txt", 0, ""},
        // Every argument an option: the last one, '-' and letter included, is tested.
        {{"-iA", "-oZ.KYX"}, "-oZ.KYX", "-oZ.txt", 0, ""},
        {{"data.kyx"}, "", "", 0, banner + "Invalid datalog file\n"},
        {{"-iA", "notes.txt"}, "", "", 0, banner + "Invalid datalog file\n"},
        {{"-iA", "-oB", "notes.txt"}, "", "", 1, banner + usage_error},
        {{"dir.KYX"}, "", "", 1, banner + "cannot open input file dir.KYX\n"},
    };
    for (const dropped_case& c : cases) {
        const program_result r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.back();
        if (c.input.empty()) {
            EXPECT_EQ(r.out, "") << c.args.back();
            EXPECT_EQ(r.err, as_written(c.err)) << c.args.back();
            continue;
        }
        EXPECT_EQ(r.out, as_written(small_progress)) << c.args.back();
        EXPECT_EQ(r.err, as_written(converted(c.input, c.output))) << c.args.back();
        EXPECT_EQ(read_file(path(c.output)), as_written(small_text)) << c.output;
        fs::remove(path(c.output));
    }
    EXPECT_FALSE(file_exists(path("A")) || file_exists(path("B")) || file_exists(path("dir.txt")));
    EXPECT_FALSE(file_exists(path("runKYX.txt")) || file_exists(path("a.txt")));
}

TEST_F(Program, ADroppedFileNamedLikeItsOutputIsRefused) {
    write("a.KYX.txt", small_datalog());
    const program_result r = run({"a.KYX.txt"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, as_written(banner + "output file a.KYX.txt is the input file\n"));
    EXPECT_EQ(read_file(path("a.KYX.txt")), small_datalog());
}

// When every argument is an option, the last one is tested as a dropped path
// only where an entry of exactly that name exists: "-osub\..\B.KYX" is no
// path on Windows without a folder "-osub", as on Linux, and the options say
// what to convert. A file whose name begins with "-i" is still dropped.
TEST_F(Program, ALastOptionIsADroppedPathOnlyUnderItsExactName) {
    const std::string up = program_runs_natively() ? "/../" : "\\..\\";
    write("A.KYX", small_datalog());
    write("B.KYX", small_datalog());
    const char* const untouched[] = {"B.txt", "B.KYX.txt", "-ilogs.txt"};
    for (const char* name : untouched) write(name, "precious notes\n");
    for (const char* name : {"logs", "sub"}) fs::create_directory(path(name));
    const std::string via_logs = "logs" + up + "B.KYX", via_sub = "sub" + up + "A.KYX";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string input, output, written;  // converted; else `err` follows the banner
        std::string err;
    } cases[] = {
        {{"-oresult.txt", "-i" + via_logs}, 0, via_logs, "result.txt", "result.txt", ""},
        {{"-iA.KYX", "-o" + via_logs + ".bak"}, 0, "A.KYX", via_logs + ".bak", "B.KYX.bak", ""},
        {{"-iA.KYX", "-o" + via_sub},
         1,
         "",
         "",
         "",
         "output file " + via_sub + " is the input file\n"},
        {{"-i." + up + "B.KYX"}, 1, "", "", "", "no output file specified\n"},
    };
    for (const auto& c : cases) {
        const program_result r = run(c.args);
        const std::string& last = c.args.back();
        EXPECT_EQ(r.status, c.status) << last;
        if (!c.output.empty()) {
            EXPECT_EQ(r.err, as_written(converted(c.input, c.output))) << last;
            EXPECT_EQ(read_file(path(c.written)), as_written(small_text)) << last;
        } else {
            EXPECT_EQ(r.err, as_written(banner + c.err)) << last;
        }
        for (const char* name : untouched)
            EXPECT_EQ(read_file(path(name)), "precious notes\n") << name << " after " << last;
        EXPECT_EQ(read_file(path("A.KYX")), small_datalog()) << last;
    }
    write("-ilogs.KYX", small_datalog());
    const program_result dropped = run({"-ilogs.KYX"});
    EXPECT_EQ(dropped.status, 0);
    EXPECT_EQ(dropped.err, as_written(converted("-ilogs.KYX", "-ilogs.txt")));
    EXPECT_EQ(read_file(path("-ilogs.txt")), as_written(small_text));
    // In another letter case the name is the same file's on Windows, which
    // is then dropped, and no file's on Linux.
    std::remove(path("-ilogs.txt").c_str());
    const program_result other_case = run({"-iLOGS.KYX"});
    if (program_runs_natively()) {
        EXPECT_EQ(other_case.status, 1);
        EXPECT_EQ(other_case.err, as_written(banner + "no output file specified\n"));
    } else {
        EXPECT_EQ(other_case.status, 0);
        EXPECT_EQ(other_case.err, as_written(converted("-iLOGS.KYX", "-iLOGS.txt")));
        EXPECT_EQ(read_file(path("-iLOGS.txt")), as_written(small_text));
    }
}

// Windows gives a long name a short one too, and either opens the file: a
// last option that names a file under its short name is that file, dropped.
TEST_F(Program, ALastOptionIsADroppedPathUnderAShortName) {
    if (program_runs_natively()) GTEST_SKIP() << "Linux gives no short names";
    write("-ilogs/precious datalog.KYX", small_datalog());
    const program_result named =
        run_beside_program(folder, "short_name", {"-ilogs\\precious datalog.KYX"}, 60);
    ASSERT_EQ(named.status, 0);
    const std::string short_name = named.out.substr(named.out.rfind('\\') + 1);
    ASSERT_NE(short_name, "precious datalog.KYX");
    const std::string input = "-ilogs\\" + short_name;
    const std::string output = input.substr(0, input.rfind('.')) + ".txt";
    const program_result r = run({input});
    EXPECT_EQ(r.status, 0) << input;
    EXPECT_EQ(r.err, as_written(converted(input, output)));
    EXPECT_EQ(read_file(path("-ilogs/" + output.substr(output.rfind('\\') + 1))),
              as_written(small_text));
}

TEST_F(Program, PathsLongerThan511CharactersWork) {
    std::string name;
    while (name.size() < 600) name += "long_folder_name_" + std::to_string(name.size()) + "/";
    write(name + "ZBA_D001.KYX", small_datalog());
    // Dropped: the Windows program tests the path with the system's wide
    // calls, which take it whole.
    const program_result r = run({name + "ZBA_D001.KYX"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, as_written(converted(name + "ZBA_D001.KYX", name + "ZBA_D001.txt")));
    EXPECT_EQ(read_file(path(name + "ZBA_D001.txt")), as_written(small_text));
}

TEST_F(Program, NoArgumentsTestTheProgramsOwnPath) {
    // argv[0] names the program, which exists: tested as a dropped path.
    const char* program = std::getenv("RAREDIR_PROGRAM");
    const program_result existing = run_program(folder, {}, program_runs_natively() ? program : "");
    EXPECT_EQ(existing.status, 0);
    EXPECT_EQ(existing.err, as_written(banner + "Invalid datalog file\n"));
    if (!program_runs_natively()) return;  // the runner sets argv[0]
    const program_result missing = run_program(folder, {}, "/no/such/RARedir");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, as_written(banner + "no input file specified\n"));
}

TEST_F(Program, DroppingTheShippedExampleGivesItsExpectedText) {
    const std::string examples = DATALOG_EXAMPLES_DIR;
    write("ZBA_D001.KYX", read_file(examples + "/ZBA_D001.KYX"));
    const program_result r = run({"ZBA_D001.KYX"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(read_file(path("ZBA_D001.txt")),
              as_written(read_file(examples + "/ZBA_D001.expected.txt")));
    const std::string summary = as_written("40 records processed\n");
    EXPECT_EQ(r.out.substr(r.out.size() - summary.size()), summary);
}

}  // namespace
