#include "doubles/TestDictionary.h"

#include <cstring>

#include "package/DictionaryContainer.h"
#include "platform/MemoryWriteStream.h"
#include "platform/Text.h"

namespace {

size_t Report(const std::string& folder, char* out, size_t size) {
    if (folder.empty() || !text::Copy(out, size, folder.c_str())) {
        if (size > 0) {
            out[0] = '\0';
        }
        return 0;
    }
    return folder.size();
}

}  // namespace

const char kSmallDictionary[] =
    "[ENUMKEYS]\r\n"
    "K0=SETUP_CAPTION\r\n"
    "K1=setup_completed_succesfully\r\n"
    "K2=-\r\n"
    "[ITALIANO]\r\n"
    "SETUP_CAPTION=Installazione di ZarBelPC\r\n"
    "SETUP_COMPLETED_SUCCESFULLY=Installazione completata.\\nBuon divertimento!\r\n"
    "[ENGLISH]\r\n"
    "SETUP_CAPTION=ZarBelPC Setup\r\n"
    "SETUP_COMPLETED_SUCCESFULLY=Setup completed.\\tEnjoy!\r\n";

std::vector<unsigned char> MakeDictionaryContainer(const std::string& text) {
    std::vector<unsigned char> container;
    MemoryWriteStream<std::vector<unsigned char>> out(&container);
    WriteDictionaryContainer(out, reinterpret_cast<const unsigned char*>(text.data()), text.size());
    return container;
}

bool WorkFolderFiles::InReadOnlyFolder(const char* path) const {
    const char* slash = strrchr(path, '\\');
    return !readOnlyFolder.empty() && slash != nullptr &&
           std::string(path, slash) == readOnlyFolder;
}

std::unique_ptr<WriteStream> WorkFolderFiles::Create(const char* path) {
    created.push_back(path);
    if (InReadOnlyFolder(path)) {
        return nullptr;
    }
    return real_->Create(path);
}

int WorkFolderFiles::Delete(const char* path) {
    return InReadOnlyFolder(path) ? 0 : real_->Delete(path);
}

int WorkFolderFiles::CreateFolder(const char* path) {
    return InReadOnlyFolder(path) ? 0 : real_->CreateFolder(path);
}

int WorkFolderFiles::Copy(const char* from, const char* to) {
    return InReadOnlyFolder(to) ? 0 : real_->Copy(from, to);
}

size_t WorkFolderFiles::GetCurrentFolder(char* out, size_t size) {
    return Report(currentFolder, out, size);
}

size_t WorkFolderFiles::GetTempFolder(char* out, size_t size) {
    return Report(tempFolder, out, size);
}
