// A counting allocator for the benchmark build only. The program defines malloc and its
// relatives, so every shared library of the process resolves to these; each forwards to the C
// library's own allocator and, while counting is on, counts the main thread's calls by caller.
#include "tools/bench/alloc_count.h"

#include <execinfo.h>
#include <link.h>
#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstddef>
#include <cstring>
#include <new>

extern "C" {
void* __libc_malloc(std::size_t size);
void __libc_free(void* pointer);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void* __libc_valloc(std::size_t size);
void* __libc_pvalloc(std::size_t size);
extern const char __executable_start;
extern const char etext;
}

namespace {

struct AddressRange {
  std::uintptr_t begin = 0;
  std::uintptr_t end = 0;
  bool holds(std::uintptr_t a) const { return a >= begin && a < end; }
};

bool counting = false;         // only ever changed by the main thread
pthread_t mainThread{};
AddressRange gameCode;         // the program's own text: the benchmark and velmo_core
AddressRange gluCode;          // libGLU's loaded segments
AllocationCounts counts;

// Where the counted allocations come from, when asked: the game's own call that led to them (the
// innermost frame in the program's code) and the library function it called.
constexpr int unwindDepth = 48;
constexpr int siteSlots = 512;
struct AllocationSite {
  void* gameFrame;     // return address in the program's own code
  void* libraryFrame;  // the frame the game's call led to: in a library, or the game's own allocator
  std::uint64_t count;
};
bool recordingSites = false;
bool insideRecording = false;  // main thread: the unwinder is running
AllocationSite sites[siteSlots];
std::uint64_t unrecordedSites = 0;

void recordSite() {
  if (!recordingSites || insideRecording) return;
  insideRecording = true;
  void* frames[unwindDepth];
  int depth = backtrace(frames, unwindDepth);
  void* game = nullptr;
  void* library = nullptr;
  // Frame 0 is this function; the allocator's own frames are in the program's code too.
  for (int i = 1; i < depth; ++i) {
    auto address = reinterpret_cast<std::uintptr_t>(frames[i]);
    if (gameCode.holds(address) && i > 3) {
      game = frames[i];
      library = frames[i - 1];
      break;
    }
  }
  std::uintptr_t hash = reinterpret_cast<std::uintptr_t>(game) * 31 + reinterpret_cast<std::uintptr_t>(library);
  for (int probe = 0; probe < siteSlots; ++probe) {
    AllocationSite& slot = sites[(hash + probe) % siteSlots];
    if (slot.count == 0) {
      slot.gameFrame = game;
      slot.libraryFrame = library;
    } else if (slot.gameFrame != game || slot.libraryFrame != library) {
      continue;
    }
    ++slot.count;
    insideRecording = false;
    return;
  }
  ++unrecordedSites;
  insideRecording = false;
}

void countCaller(const void* caller) {
  if (!counting || !pthread_equal(pthread_self(), mainThread)) return;
  recordSite();
  auto address = reinterpret_cast<std::uintptr_t>(caller);
  if (gameCode.holds(address))
    ++counts.game;
  else if (gluCode.holds(address))
    ++counts.glu;
  else
    ++counts.other;
}

int findGlu(dl_phdr_info* info, std::size_t, void*) {
  if (!info->dlpi_name || !std::strstr(info->dlpi_name, "libGLU")) return 0;
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& segment = info->dlpi_phdr[i];
    if (segment.p_type != PT_LOAD || !(segment.p_flags & PF_X)) continue;
    std::uintptr_t begin = info->dlpi_addr + segment.p_vaddr;
    gluCode = {begin, begin + segment.p_memsz};
  }
  return 1;
}

void* counted(void* pointer, const void* caller) {
  countCaller(caller);
  return pointer;
}

void* newOrThrow(std::size_t size, std::size_t alignment, const void* caller) {
  countCaller(caller);  // the C library's allocator below is not counted a second time
  void* pointer = alignment > alignof(std::max_align_t) ? __libc_memalign(alignment, size ? size : 1)
                                                         : __libc_malloc(size ? size : 1);
  if (!pointer) throw std::bad_alloc();
  return pointer;
}

}  // namespace

void prepareAllocationCounting() {
  mainThread = pthread_self();
  gameCode = {reinterpret_cast<std::uintptr_t>(&__executable_start), reinterpret_cast<std::uintptr_t>(&etext)};
  dl_iterate_phdr(findGlu, nullptr);
}

void recordAllocationSites() {
  void* warm[4];
  backtrace(warm, 4);  // the first call loads the unwinder, which allocates
  recordingSites = true;
}

void printAllocationSites(int fd, int top) {
  auto gameStart = reinterpret_cast<std::uintptr_t>(&__executable_start);
  for (int n = 0; n < top; ++n) {
    AllocationSite* most = nullptr;
    for (AllocationSite& slot : sites)
      if (slot.count && (!most || slot.count > most->count)) most = &slot;
    if (!most) break;
    // The program's address as an offset for addr2line; the library's as the unwinder names it.
    dprintf(fd, "%llu allocations, game call at +0x%llx, into: ", static_cast<unsigned long long>(most->count),
            static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(most->gameFrame) - gameStart));
    if (gameCode.holds(reinterpret_cast<std::uintptr_t>(most->libraryFrame)))
      dprintf(fd, "the game's own code at +0x%llx\n",
              static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(most->libraryFrame) - gameStart));
    else
      backtrace_symbols_fd(&most->libraryFrame, 1, fd);
    most->count = 0;
  }
  if (unrecordedSites) dprintf(fd, "%llu allocations from further places\n", static_cast<unsigned long long>(unrecordedSites));
}

void startCountingAllocations() { counting = true; }
void stopCountingAllocations() { counting = false; }
AllocationCounts allocationCounts() { return counts; }

extern "C" {

void* malloc(std::size_t size) { return counted(__libc_malloc(size), __builtin_return_address(0)); }
void free(void* pointer) { __libc_free(pointer); }
void* calloc(std::size_t count, std::size_t size) {
  return counted(__libc_calloc(count, size), __builtin_return_address(0));
}
void* realloc(void* pointer, std::size_t size) {
  return counted(__libc_realloc(pointer, size), __builtin_return_address(0));
}
void* memalign(std::size_t alignment, std::size_t size) {
  return counted(__libc_memalign(alignment, size), __builtin_return_address(0));
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
  return counted(__libc_memalign(alignment, size), __builtin_return_address(0));
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
  if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
  void* pointer = __libc_memalign(alignment, size);
  if (!pointer) return ENOMEM;
  *out = counted(pointer, __builtin_return_address(0));
  return 0;
}
void* valloc(std::size_t size) { return counted(__libc_valloc(size), __builtin_return_address(0)); }
void* pvalloc(std::size_t size) { return counted(__libc_pvalloc(size), __builtin_return_address(0)); }

}  // extern "C"

void* operator new(std::size_t size) { return newOrThrow(size, 0, __builtin_return_address(0)); }
void* operator new[](std::size_t size) { return newOrThrow(size, 0, __builtin_return_address(0)); }
void* operator new(std::size_t size, std::align_val_t a) {
  return newOrThrow(size, static_cast<std::size_t>(a), __builtin_return_address(0));
}
void* operator new[](std::size_t size, std::align_val_t a) {
  return newOrThrow(size, static_cast<std::size_t>(a), __builtin_return_address(0));
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return newOrThrow(size, 0, __builtin_return_address(0));
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return newOrThrow(size, 0, __builtin_return_address(0));
  } catch (...) {
    return nullptr;
  }
}
void operator delete(void* p) noexcept { __libc_free(p); }
void operator delete[](void* p) noexcept { __libc_free(p); }
void operator delete(void* p, std::size_t) noexcept { __libc_free(p); }
void operator delete[](void* p, std::size_t) noexcept { __libc_free(p); }
void operator delete(void* p, std::align_val_t) noexcept { __libc_free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { __libc_free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { __libc_free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { __libc_free(p); }
