// Built with the program's own stack guard. "guard <file>" writes the guard
// value to <file>; "<n>" copies n bytes into a 16-byte local buffer, which for
// n > 16 overruns it, so the test sees how the process then ends.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" void* __stack_chk_guard;

namespace {

__attribute__((noinline)) int Fill(const char* text, std::size_t length) {
    char buffer[16];
    std::memcpy(buffer, text, length);
    return buffer[0] == 'x' ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "guard") == 0) {
        FILE* out = std::fopen(argv[2], "w");
        if (out == nullptr) {
            return 2;
        }
        std::fprintf(out, "%p", __stack_chk_guard);
        std::fclose(out);
        return 0;
    }
    const std::size_t length = argc == 2 ? std::strtoul(argv[1], nullptr, 10) : 0;
    const std::string text(length, 'x');
    return Fill(text.data(), length);
}
