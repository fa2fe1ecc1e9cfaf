#include "tests/binaries/pe_image.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

struct Bytes {
  const std::vector<uint8_t>& data;
  bool failed = false;

  uint32_t at(size_t offset, size_t size) {
    if (offset > data.size() || size > data.size() - offset) {
      failed = true;
      return 0;
    }
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i) value |= static_cast<uint32_t>(data[offset + i]) << (8 * i);
    return value;
  }
  uint16_t word(size_t offset) { return static_cast<uint16_t>(at(offset, 2)); }
  uint32_t dword(size_t offset) { return at(offset, 4); }
};

struct Section {
  uint32_t virtualAddress, virtualSize, fileOffset, fileSize;
};

// The file offset of a relative virtual address, or 0 when no section has it.
size_t fileOffsetOf(const std::vector<Section>& sections, uint32_t rva) {
  for (const Section& s : sections) {
    const uint32_t size = std::max(s.virtualSize, s.fileSize);
    if (rva >= s.virtualAddress && rva - s.virtualAddress < size)
      return s.fileOffset + (rva - s.virtualAddress);
  }
  return 0;
}

std::string cString(Bytes& bytes, size_t offset) {
  std::string text;
  for (size_t i = offset; i < bytes.data.size() && bytes.data[i] != 0 && text.size() < 260; ++i)
    text.push_back(static_cast<char>(bytes.data[i]));
  return text;
}

void readImports(Bytes& bytes, const std::vector<Section>& sections, uint32_t rva,
                 PeImage& image) {
  size_t entry = fileOffsetOf(sections, rva);
  if (entry == 0) return;
  // IMAGE_IMPORT_DESCRIPTOR, 20 bytes each, ended by one of zeros.
  for (int i = 0; i < 256 && !bytes.failed; ++i, entry += 20) {
    const uint32_t nameRva = bytes.dword(entry + 12);
    if (nameRva == 0) break;
    const size_t name = fileOffsetOf(sections, nameRva);
    if (name != 0) image.importedDlls.push_back(cString(bytes, name));
  }
}

// Three levels: type, name, language; only numbered entries.
void readResourceDirectory(Bytes& bytes, const std::vector<Section>& sections, size_t root,
                           size_t directory, int level, PeResource path, PeImage& image) {
  const uint16_t named = bytes.word(directory + 12);
  const uint16_t numbered = bytes.word(directory + 14);
  for (uint32_t i = 0; i < static_cast<uint32_t>(named) + numbered && !bytes.failed; ++i) {
    const size_t entry = directory + 16 + 8 * static_cast<size_t>(i);
    const uint32_t id = bytes.dword(entry);
    const uint32_t target = bytes.dword(entry + 4);
    if ((id & 0x80000000u) != 0) continue;  // a name, not a number
    PeResource next = path;
    if (level == 0) next.type = id;
    if (level == 1) next.name = id;
    if (level == 2) next.language = id;
    if ((target & 0x80000000u) != 0) {
      if (level < 2)
        readResourceDirectory(bytes, sections, root, root + (target & 0x7FFFFFFFu), level + 1,
                              next, image);
      continue;
    }
    // IMAGE_RESOURCE_DATA_ENTRY: data RVA, size.
    const size_t data = fileOffsetOf(sections, bytes.dword(root + target));
    const uint32_t size = bytes.dword(root + target + 4);
    if (data == 0 || data > bytes.data.size() || size > bytes.data.size() - data) {
      bytes.failed = true;
      continue;
    }
    next.data.assign(bytes.data.begin() + static_cast<std::ptrdiff_t>(data),
                     bytes.data.begin() + static_cast<std::ptrdiff_t>(data + size));
    image.resources.push_back(std::move(next));
  }
}

std::string utf16ToUtf8(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

// One node of a version resource: wLength, wValueLength, wType, szKey,
// padding, value, padding, children.
struct VersionNode {
  size_t start, end;  // the node's bytes
  uint16_t valueLength, type;
  std::u16string key;
  size_t value;     // offset of the value
  size_t children;  // offset of the first child
};

size_t align4(size_t offset) { return (offset + 3) & ~static_cast<size_t>(3); }

bool readNode(Bytes& bytes, size_t start, size_t limit, VersionNode& node) {
  const uint16_t length = bytes.word(start);
  if (bytes.failed || length < 6 || start + length > limit) return false;
  node.start = start;
  node.end = start + length;
  node.valueLength = bytes.word(start + 2);
  node.type = bytes.word(start + 4);
  node.key.clear();
  size_t at = start + 6;
  for (; at + 2 <= node.end; at += 2) {
    const uint16_t c = bytes.word(at);
    if (c == 0) break;
    node.key.push_back(static_cast<char16_t>(c));
  }
  node.value = align4(at + 2);
  // A text value's length counts UTF-16 characters, a binary one bytes.
  const size_t valueBytes = node.type == 1 ? 2u * node.valueLength : node.valueLength;
  node.children = align4(node.value + valueBytes);
  return !bytes.failed;
}

std::u16string textAt(Bytes& bytes, size_t offset, size_t end) {
  std::u16string text;
  for (size_t at = offset; at + 2 <= end; at += 2) {
    const uint16_t c = bytes.word(at);
    if (c == 0) break;
    text.push_back(static_cast<char16_t>(c));
  }
  return text;
}

}  // namespace

bool readPeImage(const std::string& path, PeImage& image, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = path + ": cannot be read";
    return false;
  }
  const std::vector<uint8_t> data((std::istreambuf_iterator<char>(file)), {});
  Bytes bytes{data};
  const uint32_t pe = bytes.dword(0x3C);
  if (bytes.word(0) != 0x5A4D || bytes.dword(pe) != 0x00004550) {
    error = path + ": not a Windows program";
    return false;
  }
  const size_t header = pe + 4;
  const uint16_t sectionCount = bytes.word(header + 2);
  const uint16_t optionalSize = bytes.word(header + 16);
  const size_t optional = header + 20;
  if (bytes.word(optional) != 0x20B) {
    error = path + ": not a 64-bit (PE32+) program";
    return false;
  }
  std::vector<Section> sections;
  for (size_t i = 0; i < sectionCount; ++i) {
    const size_t s = optional + optionalSize + 40 * i;
    sections.push_back({bytes.dword(s + 12), bytes.dword(s + 8), bytes.dword(s + 20),
                        bytes.dword(s + 16)});
  }
  // Data directories of PE32+ start 112 bytes into the optional header.
  const size_t directories = optional + 112;
  readImports(bytes, sections, bytes.dword(directories + 8), image);
  const uint32_t resourcesRva = bytes.dword(directories + 16);
  const size_t root = resourcesRva == 0 ? 0 : fileOffsetOf(sections, resourcesRva);
  if (root != 0) readResourceDirectory(bytes, sections, root, root, 0, PeResource{}, image);
  if (bytes.failed) {
    error = path + ": a table points outside the file";
    return false;
  }
  return true;
}

const PeResource* findResource(const PeImage& image, uint32_t type, uint32_t name) {
  for (const PeResource& resource : image.resources)
    if (resource.type == type && resource.name == name) return &resource;
  return nullptr;
}

bool parseVersionInfo(const std::vector<uint8_t>& data, VersionInfo& info, std::string& error) {
  Bytes bytes{data};
  VersionNode root{};
  if (!readNode(bytes, 0, data.size(), root) || root.key != u"VS_VERSION_INFO" ||
      root.valueLength < 52 || bytes.dword(root.value) != 0xFEEF04BD) {
    error = "no VS_VERSION_INFO with a fixed part";
    return false;
  }
  // VS_FIXEDFILEINFO: signature, struct version, file MS/LS, product MS/LS.
  const uint32_t file[2] = {bytes.dword(root.value + 8), bytes.dword(root.value + 12)};
  const uint32_t product[2] = {bytes.dword(root.value + 16), bytes.dword(root.value + 20)};
  for (int i = 0; i < 2; ++i) {
    info.fileVersion[2 * i] = static_cast<uint16_t>(file[i] >> 16);
    info.fileVersion[2 * i + 1] = static_cast<uint16_t>(file[i] & 0xFFFF);
    info.productVersion[2 * i] = static_cast<uint16_t>(product[i] >> 16);
    info.productVersion[2 * i + 1] = static_cast<uint16_t>(product[i] & 0xFFFF);
  }
  // StringFileInfo > string tables > strings.
  for (size_t at = root.children; at < root.end;) {
    VersionNode block{};
    if (!readNode(bytes, at, root.end, block)) break;
    if (block.key == u"StringFileInfo") {
      for (size_t t = block.children; t < block.end;) {
        VersionNode table{};
        if (!readNode(bytes, t, block.end, table)) break;
        for (size_t s = table.children; s < table.end;) {
          VersionNode string{};
          if (!readNode(bytes, s, table.end, string)) break;
          info.strings.emplace_back(utf16ToUtf8(string.key),
                                    utf16ToUtf8(textAt(bytes, string.value, string.end)));
          s = align4(string.end);
        }
        t = align4(table.end);
      }
    }
    at = align4(block.end);
  }
  if (bytes.failed) {
    error = "the version resource is cut short";
    return false;
  }
  return true;
}

std::vector<std::pair<int, int>> groupIconSizes(const std::vector<uint8_t>& data) {
  Bytes bytes{data};
  std::vector<std::pair<int, int>> sizes;
  // GRPICONDIR: reserved, type 1, count; then 14-byte entries.
  const uint16_t count = bytes.word(4);
  if (bytes.failed || bytes.word(2) != 1) return sizes;
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = 6 + 14 * i;
    const int width = static_cast<int>(bytes.at(entry, 1));
    const int height = static_cast<int>(bytes.at(entry + 1, 1));
    if (bytes.failed) break;
    sizes.emplace_back(width == 0 ? 256 : width, height == 0 ? 256 : height);
  }
  return sizes;
}
