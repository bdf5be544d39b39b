// The setup's own operator new and delete. The C++ runtime's versions throw std::bad_alloc, which
// drags the whole exception machinery (unwinder, personality, demangler, threads) into an exe
// built without exceptions. Here a failed plain new ends the process, as an uncaught bad_alloc
// would; the nothrow forms return null for the caller to report.
#include <cstdlib>
#include <new>

namespace {

void* Allocate(std::size_t size) {
    return std::malloc(size > 0 ? size : 1);
}

void* AllocateOrAbort(std::size_t size) {
    void* block = Allocate(size);
    if (block == nullptr) {
        std::abort();
    }
    return block;
}

}  // namespace

void* operator new(std::size_t size) {
    return AllocateOrAbort(size);
}

void* operator new[](std::size_t size) {
    return AllocateOrAbort(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete[](void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}

void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}

// A call through an abstract class's vtable is a bug; the runtime's handler would bring in the
// verbose terminate handler and the demangler.
extern "C" void __cxa_pure_virtual() {
    std::abort();
}
