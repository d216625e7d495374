#include "TransferFiles.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

TempFolder::TempFolder() {
    std::random_device random;
    for (int tries = 0; tries < 100 && path_.empty(); ++tries) {
        const auto candidate = std::filesystem::temp_directory_path() /
                               ("zarelcom-transfer-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) path_ = candidate.generic_string();
    }
    if (path_.empty()) throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> TempFolder::Entries(const std::string &sub) const {
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(Path(sub)))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void WriteFile(const std::string &path, const Bytes &content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(content.data()),
              static_cast<std::streamsize>(content.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

Bytes ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes Pattern(size_t size) {
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i % 251);
    return bytes;
}

Bytes Padded(Bytes content) {
    content.resize((content.size() + ZC_BLOCK_SIZE - 1) / ZC_BLOCK_SIZE * ZC_BLOCK_SIZE, 0);
    return content;
}

Text MakeCounted(const std::string &text) {
    return Text(MakeText(text.data(), static_cast<int32_t>(text.size())));
}
