#include <gtest/gtest.h>

#include <string>

#include "platform/MemoryResourceStore.h"
#include "ui/LanguageDocument.h"

TEST(LanguageDocument, EachLanguageNamesOneDocumentOfEachKind) {
    struct Row {
        const char* language;
        const char* license;
        const char* notes;
    };
    const Row rows[] = {
        {"ITALIANO", "LICENSE_IT.RTF", "INSTALL_IT.RTF"},
        {"ENGLISH", "LICENSE_UK.RTF", "INSTALL_UK.RTF"},
        {"FRENCH", "LICENSE_FR.RTF", "INSTALL_FR.RTF"},
        {"ESPANOL", "LICENSE_SP.RTF", "INSTALL_SP.RTF"},
    };
    for (const Row& row : rows) {
        EXPECT_STREQ(row.license,
                     LanguageDocumentName(row.language, DocumentKind::kLicenseAgreement));
        EXPECT_STREQ(row.notes,
                     LanguageDocumentName(row.language, DocumentKind::kInstallationNotes));
    }
}

TEST(LanguageDocument, TheLanguageMustMatchAsAWholeTextInItsCase) {
    for (const char* language : {"italiano", "Italiano", "ITALIANO ", " ITALIANO", "ITALIAN",
                                 "ITALIANOX", "", "ENGLISH\t", "SPANISH", "DEUTSCH"}) {
        EXPECT_EQ(nullptr, LanguageDocumentName(language, DocumentKind::kLicenseAgreement))
            << '"' << language << '"';
        EXPECT_EQ(nullptr, LanguageDocumentName(language, DocumentKind::kInstallationNotes));
    }
}

TEST(LanguageDocument, FindsTheDocumentOnlyWhenTheStoreHoldsIt) {
    MemoryResourceStore store;
    store.Add("RTF", "LICENSE_IT.RTF", {'{', 'I', '}'});
    store.Add("RTF", "INSTALL_UK.RTF", {'{', 'E', 'N', '}'});
    // Same name, another type: not a document.
    store.Add("PlainExtract", "LICENSE_UK.RTF", {'x'});
    ResourceBlock block = {};
    ASSERT_EQ(1, FindLanguageDocument(store, "ITALIANO", DocumentKind::kLicenseAgreement, &block));
    EXPECT_EQ("{I}", std::string(reinterpret_cast<const char*>(block.data), block.size));
    ASSERT_EQ(1, FindLanguageDocument(store, "ENGLISH", DocumentKind::kInstallationNotes, &block));
    EXPECT_EQ(4u, block.size);
    EXPECT_EQ(0, FindLanguageDocument(store, "ENGLISH", DocumentKind::kLicenseAgreement, &block));
    EXPECT_EQ(0, FindLanguageDocument(store, "ITALIANO", DocumentKind::kInstallationNotes, &block));
    // FRENCH has a row but no document; a lower-case name has no row at all.
    store.Add("RTF", "license_it.rtf ", {'?'});
    EXPECT_EQ(0, FindLanguageDocument(store, "FRENCH", DocumentKind::kLicenseAgreement, &block));
    EXPECT_EQ(0, FindLanguageDocument(store, "italiano", DocumentKind::kLicenseAgreement, &block));
}
