// Which RTF document belongs to the current language: the license agreement of the license
// dialog and the installation notes of the install dialog.
#pragma once

#include "platform/ResourceStore.h"

enum class DocumentKind { kLicenseAgreement, kInstallationNotes };

// Documents are resources of this type in the setup's own module.
constexpr const char* kDocumentResourceType = "RTF";

// The document's resource name for the language, or null when no row matches. The language is
// compared as a whole text, letter case significant: "italiano" or "ITALIANO " select nothing.
const char* LanguageDocumentName(const char* language, DocumentKind kind);

// Finds the language's document in the store. Returns 1 and fills out, or 0 when the language
// has no row or the store lacks the document.
int FindLanguageDocument(ResourceStore& resources, const char* language, DocumentKind kind,
                         ResourceBlock* out);
