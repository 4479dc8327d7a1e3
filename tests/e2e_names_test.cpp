// File names beyond ASCII: the program opens exactly the file it was given,
// whatever its characters, and never one whose name merely looks alike. The
// tests pass names in UTF-8; the Windows program takes them as Windows holds
// them, in UTF-16.
#include <algorithm>
#include <cctype>

#include "e2e_fixture.h"

namespace {

using namespace e2e;

// "dātā": Windows' ANSI code page has no 'ā' and would read it as 'a'.
const std::string lookalike = "d\u0101t\u0101";

// A datalog other than small_datalog(), which no test must touch.
std::string other_datalog() {
    const datalog_writer::header_fields h{0, 1, 4};
    return datalog_writer::datalog(h, {{7.0}, {8.0}, {9.0}});
}

TEST_F(Program, ADroppedNameIsNeverTakenForALookAlike) {
    write(lookalike + ".KYX", small_datalog());
    write("data.KYX", other_datalog());
    write("data.txt", "precious notes\n");
    const program_result r = run({lookalike + ".KYX"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, as_written(converted(lookalike + ".KYX", lookalike + ".txt")));
    EXPECT_EQ(read_file(path(lookalike + ".txt")), as_written(small_text));
    EXPECT_EQ(read_file(path("data.KYX")), other_datalog());
    EXPECT_EQ(read_file(path("data.txt")), "precious notes\n");
}

TEST_F(Program, OptionsNameTheirFilesExactly) {
    const std::string result = "r\u0435sult.txt";  // a Cyrillic 'е'
    write(lookalike + ".KYX", small_datalog());
    write("data.KYX", other_datalog());
    write("result.txt", "precious notes\n");
    const program_result r = run({"-i" + lookalike + ".KYX", "-o" + result});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, as_written(converted(lookalike + ".KYX", result)));
    EXPECT_EQ(read_file(path(result)), as_written(small_text));
    EXPECT_EQ(read_file(path("result.txt")), "precious notes\n");
    EXPECT_EQ(read_file(path("data.KYX")), other_datalog());

    const program_result missing = run({"-i\u03a9mega.KYX", "-oout.txt"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, as_written(banner + "cannot open input file \u03a9mega.KYX\n"));
}

// Greek, CJK and a character beyond the Basic Multilingual Plane (a surrogate
// pair in UTF-16), dropped and through the options.
TEST_F(Program, NamesInAnyScriptConvert) {
    for (const std::string name : {"\u03a9mega", "\u30c7\u30fc\u30bf", "\U0001d11eclef"}) {
        write(name + ".KYX", small_datalog());
        const program_result dropped = run({name + ".KYX"});
        EXPECT_EQ(dropped.status, 0) << name;
        EXPECT_EQ(dropped.err, as_written(converted(name + ".KYX", name + ".txt"))) << name;
        EXPECT_EQ(read_file(path(name + ".txt")), as_written(small_text)) << name;

        const program_result named = run({"-i" + name + ".KYX", "-o" + name + "-out.txt"});
        EXPECT_EQ(named.status, 0) << name;
        EXPECT_EQ(named.err, as_written(converted(name + ".KYX", name + "-out.txt"))) << name;
        EXPECT_EQ(read_file(path(name + "-out.txt")), as_written(small_text)) << name;
    }
}

// Two spellings of one file: a path through a folder, and a hard link.
TEST_F(Program, NeverWritesOverAnInputNamedBeyondAscii) {
    const std::string name = "\u03a9mega.KYX", link = "\u03c9mega-link.KYX";
    write(name, small_datalog());
    fs::create_hard_link(path(name), path(link));
    for (const std::string& output : {"./" + name, link}) {
        const program_result r = run({"-i" + name, "-o" + output});
        EXPECT_EQ(r.status, 1) << output;
        EXPECT_EQ(r.err, as_written(banner + "output file " + output + " is the input file\n"))
            << output;
        EXPECT_EQ(read_file(path(name)), small_datalog()) << output;
    }
}

// On a console a name shows as it is: the Windows program writes the
// characters themselves (which Wine's console puts on its terminal in UTF-8,
// amid control sequences), and the Linux program the bytes it was given.
TEST_F(Program, AConsoleShowsNamesAsTheyAre) {
    const std::string name = "\u03a9mega-\u30c7\u30fc\u30bf";
    write(name + ".KYX", small_datalog());
    const std::string shown =
        run_program_on_terminal(folder, {"-i" + name + ".KYX", "-o" + name + ".txt"}).shown;
    EXPECT_NE(shown.find(name + ".KYX"), std::string::npos) << shown;
    // One line end after the name, then the report's empty line: no more.
    const std::size_t name_end = shown.find(name + ".txt") + name.size() + 4;
    const std::size_t next = shown.find("Autodetect", name_end);
    ASSERT_NE(next, std::string::npos) << shown;
    EXPECT_EQ(std::count(shown.begin() + name_end, shown.begin() + next, '\n'), 2) << shown;
    EXPECT_NE(shown.find(name + ".txt"), std::string::npos) << shown;
    EXPECT_EQ(read_file(path(name + ".txt")), as_written(small_text));
}

// The letters and digits a terminal shows, without its control sequences
// (Wine's console moves the cursor between characters).
std::string letters_shown(const std::string& terminal) {
    std::string letters;
    for (std::size_t i = 0; i < terminal.size(); ++i) {
        if (terminal[i] == '\x1B' && i + 1 < terminal.size() && terminal[i + 1] == '[') {
            i += 2;
            while (i < terminal.size() && (terminal[i] < 0x40 || terminal[i] > 0x7E)) ++i;
        } else if (std::isalnum(static_cast<unsigned char>(terminal[i]))) {
            letters += terminal[i];
        }
    }
    return letters;
}

// Each message reaches the stream it was sent to, whichever of the two is a
// console: the letter of an invalid option goes to standard output and the
// usage text to the error stream, and a redirected stream keeps its bytes
// (the code page's for 'ü' from the Windows program).
TEST_F(Program, EachMessageLandsOnItsOwnStreamBesideAConsole) {
    const std::string u_umlaut = program_runs_natively() ? "\u00fc" : "\xFC";
    const terminal_result error_on_screen = run_program_on_terminal(folder, {"-\u00fc"}, 2);
    const std::string error_letters = letters_shown(error_on_screen.shown);
    EXPECT_EQ(error_on_screen.redirected, as_written("Invalid argument " + u_umlaut + "\n"));
    EXPECT_EQ(error_letters.find("Invalid"), std::string::npos) << error_letters;
    EXPECT_NE(error_letters.find("Usage"), std::string::npos) << error_letters;

    write("M\u00fcller.KYX", small_datalog());
    const terminal_result output_on_screen =
        run_program_on_terminal(folder, {"-iM\u00fcller.KYX", "-oout.txt"}, 1);
    const std::string output_letters = letters_shown(output_on_screen.shown);
    EXPECT_EQ(output_on_screen.redirected,
              as_written(converted("M" + u_umlaut + "ller.KYX", "out.txt")));
    EXPECT_EQ(output_letters.find("Processing"), std::string::npos) << output_letters;
    EXPECT_NE(output_letters.find("2recordsprocessed"), std::string::npos) << output_letters;
}

// Redirected console streams keep the bytes they have always had for names
// (and option letters) the Windows code page holds: 'ü' is one byte, 0xFC, in Windows-1252, which
// Wine's prefix uses here. The Linux program passes names through as bytes.
TEST_F(Program, RedirectedMessagesKeepTheirBytesForCodePageNames) {
    const std::string u_umlaut = program_runs_natively() ? "\u00fc" : "\xFC";
    const std::string muller = "M\u00fcller.KYX", shown = "M" + u_umlaut + "ller.KYX";
    for (const std::string& name : {std::string("plain.KYX"), muller}) {
        write(name, small_datalog());
        const program_result r = run({"-i" + name, "-oout.txt"});
        const std::string expected = name == muller ? shown : name;
        EXPECT_EQ(r.status, 0) << name;
        EXPECT_EQ(r.err, as_written(converted(expected, "out.txt"))) << name;
    }
    // The letter of an invalid option, a whole character.
    const program_result r = run({"-\u00fc"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, as_written("Invalid argument " + u_umlaut + "\n"));
}

}  // namespace
