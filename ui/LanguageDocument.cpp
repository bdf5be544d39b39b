#include "ui/LanguageDocument.h"

#include <cstring>

#include "records/StringKeys.h"

namespace {

struct DocumentRow {
    const char* language;
    const char* licenseAgreement;
    const char* installationNotes;
};

// One row per language. All eight documents travel with the setup as RTF resources; a language
// without a row selects none and the dialogs show an empty document.
constexpr DocumentRow kDocuments[] = {
    {languages::kItaliano, "LICENSE_IT.RTF", "INSTALL_IT.RTF"},
    {languages::kEnglish, "LICENSE_UK.RTF", "INSTALL_UK.RTF"},
    {languages::kFrench, "LICENSE_FR.RTF", "INSTALL_FR.RTF"},
    {languages::kEspanol, "LICENSE_SP.RTF", "INSTALL_SP.RTF"},
};

}  // namespace

const char* LanguageDocumentName(const char* language, DocumentKind kind) {
    for (const DocumentRow& row : kDocuments) {
        if (strcmp(row.language, language) == 0) {
            return kind == DocumentKind::kLicenseAgreement ? row.licenseAgreement
                                                           : row.installationNotes;
        }
    }
    return nullptr;
}

int FindLanguageDocument(ResourceStore& resources, const char* language, DocumentKind kind,
                         ResourceBlock* out) {
    const char* name = LanguageDocumentName(language, kind);
    if (name == nullptr) {
        return 0;
    }
    return resources.Find(kDocumentResourceType, name, out);
}
