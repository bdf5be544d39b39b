// The dictionary lint: every kind of problem it names, with its line, and silence on a clean text.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tools/DictionaryCheck.h"

namespace {

// A clean dictionary: the twelve keys in all four languages. Lines: 1 [ENUMKEYS], 2..13 K0..K11,
// 14 K12=-, then each language section (a header and twelve texts).
std::string CleanDictionary(const std::string& extraList = "",
                            const std::string& extraEnglish = "") {
    std::string text = "[ENUMKEYS]\r\n";
    for (int i = 0; i < kSetupStringKeyCount; ++i) {
        text += "K" + std::to_string(i) + "=" + kSetupStringKeys[i] + "\r\n";
    }
    text += "K12=-\r\n" + extraList;
    for (int l = 0; l < kSetupLanguageCount; ++l) {
        text += std::string("[") + kSetupLanguages[l] + "]\r\n";
        for (int i = 0; i < kSetupStringKeyCount; ++i) {
            text += std::string(kSetupStringKeys[i]) + "=text " + std::to_string(i) + "\r\n";
        }
        if (std::string(kSetupLanguages[l]) == "ENGLISH") {
            text += extraEnglish;
        }
    }
    return text;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    EXPECT_NE(std::string::npos, at) << from;
    if (at != std::string::npos) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// Each problem as "line: message".
std::vector<std::string> Check(const std::string& text) {
    std::vector<std::string> lines;
    for (const DictionaryProblem& problem : CheckDictionaryText(text)) {
        lines.push_back(std::to_string(problem.line) + ": " + problem.message);
    }
    return lines;
}

// True when exactly one problem stands on that line and its message contains the words.
::testing::AssertionResult OneProblem(const std::vector<std::string>& problems, int line,
                                      const std::string& words) {
    if (problems.size() != 1) {
        ::testing::AssertionResult result = ::testing::AssertionFailure();
        result << problems.size() << " problems:";
        for (const std::string& p : problems) {
            result << "\n  " << p;
        }
        return result;
    }
    std::string prefix = std::to_string(line) + ": ";
    if (problems[0].compare(0, prefix.size(), prefix) != 0 ||
        problems[0].find(words) == std::string::npos) {
        return ::testing::AssertionFailure() << "got \"" << problems[0] << "\", want line " << line
                                             << " with \"" << words << "\"";
    }
    return ::testing::AssertionSuccess();
}

TEST(DictionaryCheckTest, CleanDictionaryHasNoProblems) {
    EXPECT_TRUE(Check(CleanDictionary()).empty());
    // Letter case and blanks are the reader's business, not problems.
    EXPECT_TRUE(Check(Replace(CleanDictionary(), "[ENUMKEYS]\r\nK0=SETUP_CAPTION",
                              "[enumkeys]\r\nk0 = setup_caption"))
                    .empty());
    // A list without its "-" end stops at the first missing key just the same.
    EXPECT_TRUE(Check(Replace(CleanDictionary(), "K12=-\r\n", "")).empty());
}

TEST(DictionaryCheckTest, MissingListOrKeyOfTheSetup) {
    EXPECT_TRUE(OneProblem(Check(Replace(CleanDictionary(), "[ENUMKEYS]", "[KEYS]")), 0,
                           "no [ENUMKEYS] section"));
    std::vector<std::string> problems =
        Check(Replace(CleanDictionary(), "K11=SETUP_LICENSE_AGREEMENT_DONT_ACCEPT", "K11=-"));
    EXPECT_TRUE(OneProblem(problems, 0, "SETUP_LICENSE_AGREEMENT_DONT_ACCEPT is not in the"));
}

TEST(DictionaryCheckTest, KeyWithoutTextInALanguage) {
    // The FRENCH text of SETUP_INSTALL (K1) is dropped: reported on K1's line.
    std::string text = CleanDictionary();
    size_t french = text.find("[FRENCH]");
    size_t entry = text.find("SETUP_INSTALL=text 1\r\n", french);
    text.erase(entry, strlen("SETUP_INSTALL=text 1\r\n"));
    EXPECT_TRUE(OneProblem(Check(text), 3, "SETUP_INSTALL has no text in [FRENCH]"));
    // An empty text is found but shows nothing.
    EXPECT_TRUE(
        OneProblem(Check(Replace(CleanDictionary(), "GLOBAL_CANCEL=text 2", "GLOBAL_CANCEL=")), 18,
                   "empty text in [ITALIANO]"));
    EXPECT_TRUE(OneProblem(Check(Replace(CleanDictionary(), "[ESPANOL]", "[SPANISH]")), 0,
                           "no [ESPANOL] section"));
}

TEST(DictionaryCheckTest, KeysAndTextsTheSetupWouldCut) {
    std::string key63(63, 'Z');
    std::vector<std::string> problems =
        Check(Replace(CleanDictionary(), "K12=-", "K12=" + key63 + "\r\nK13=-"));
    // The long key is cut, and the cut key also has no text in the four languages.
    ASSERT_EQ(5u, problems.size());
    EXPECT_EQ(0u, problems[0].find("14: K12: the key"));
    EXPECT_NE(std::string::npos, problems[0].find("63 characters"));

    std::string text511(511, 't');
    EXPECT_TRUE(OneProblem(
        Check(Replace(CleanDictionary(), "GLOBAL_INFO=text 7", "GLOBAL_INFO=" + text511)), 23,
        "511 characters; the setup cuts it to 510"));
    EXPECT_TRUE(Check(Replace(CleanDictionary(), "GLOBAL_INFO=text 7",
                              "GLOBAL_INFO=" + std::string(510, 't')))
                    .empty());
}

TEST(DictionaryCheckTest, KeyListedTwice) {
    EXPECT_TRUE(OneProblem(Check(Replace(CleanDictionary(), "K12=-", "K12=setup_caption\r\nK13=-")),
                           14, "SETUP_CAPTION is listed twice (first as K0)"));
}

TEST(DictionaryCheckTest, EntriesTheSetupNeverReads) {
    EXPECT_TRUE(OneProblem(Check(CleanDictionary("K14=EXTRA\r\n")), 15,
                           "K14 comes after the end of the list at K12"));
    EXPECT_TRUE(OneProblem(Check(CleanDictionary("K300=EXTRA\r\n")), 15, "K300 is past K299"));
    EXPECT_TRUE(OneProblem(Check(CleanDictionary("K05=EXTRA\r\n")), 15, "K05 is not a name"));
    EXPECT_TRUE(OneProblem(Check(CleanDictionary("K3=OTHER\r\n")), 15, "K3 is given again"));
    std::vector<std::string> problems;
    // Lines as the reader splits and trims them: a key line without "=" is a key, a form feed is
    // a blank, and a lone CR ends a line.
    EXPECT_TRUE(OneProblem(Check(CleanDictionary("K3\r\n")), 15, "K3 is given again"));
    EXPECT_TRUE(OneProblem(Check(CleanDictionary("\fK3 =OTHER\r\n")), 15, "K3 is given again"));
    problems = Check(CleanDictionary("K3=OTHER\rK4=OTHER\r\n"));
    ASSERT_EQ(2u, problems.size());
    EXPECT_EQ(0u, problems[1].find("16: K4 is given again")) << problems[1];
    // A gap ends the list just as "-" does: K13 after a missing K12 is never read.
    problems = Check(Replace(CleanDictionary(), "K12=-", "K13=EXTRA"));
    EXPECT_TRUE(OneProblem(problems, 14, "K13 comes after the end of the list at K12"));
}

TEST(DictionaryCheckTest, ThreeHundredKeysAndMore) {
    std::string list;
    std::string texts;
    for (int n = 12; n < 301; ++n) {
        list += "K" + std::to_string(n) + "=KEY_" + std::to_string(n) + "\r\n";
        texts += "KEY_" + std::to_string(n) + "=x\r\n";
    }
    std::string text = Replace(CleanDictionary(), "K12=-\r\n", list);
    for (int l = 0; l < kSetupLanguageCount; ++l) {
        std::string header = std::string("[") + kSetupLanguages[l] + "]\r\n";
        text = Replace(text, header, header + texts);
    }
    EXPECT_TRUE(OneProblem(Check(text), 302, "K300 is past K299"));
}

TEST(DictionaryCheckTest, SecondTextInALanguageAndUtf8) {
    EXPECT_TRUE(
        OneProblem(Check(CleanDictionary("", "setup_caption=again\r\n")), 41,
                   "SETUP_CAPTION is given again in [ENGLISH]; the setup reads only line 29"));
    // "è" saved as UTF-8 instead of Windows-1252.
    EXPECT_TRUE(OneProblem(
        Check(Replace(CleanDictionary(), "GLOBAL_INFO=text 7", "GLOBAL_INFO=Citt\xC3\xA0")), 23,
        "UTF-8"));
    EXPECT_TRUE(
        Check(Replace(CleanDictionary(), "GLOBAL_INFO=text 7", "GLOBAL_INFO=Citt\xE0 \xE8 \xC0 la"))
            .empty());
}

// The setup reads only the first section of a name: a text only in a repeat is never seen, so
// the key is also reported as having no text there.
TEST(DictionaryCheckTest, SectionGivenAgain) {
    std::string text = CleanDictionary("", "[ENUMKEYS]\r\nK12=LATE\r\n[OTHER]\r\nX=1\r\nX=2\r\n");
    text = Replace(text, "SETUP_LICENSE_AGREEMENT_DONT_ACCEPT=text 11\r\n[ENUMKEYS]", "[ENUMKEYS]");
    text += "[english]\r\nSETUP_LICENSE_AGREEMENT_DONT_ACCEPT=too late\r\n";
    const std::vector<std::string> expected = {
        "13: SETUP_LICENSE_AGREEMENT_DONT_ACCEPT has no text in [ENGLISH]",
        "40: [ENUMKEYS] is given again; the setup reads only the one at line 1",
        "44: X is given again in [OTHER]; the setup reads only line 43",
        "71: [ENGLISH] is given again; the setup reads only the one at line 28",
    };
    EXPECT_EQ(expected, Check(text));
}

}  // namespace
