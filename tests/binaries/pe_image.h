// Reads what a Windows program carries, from its file: the DLLs it imports
// and its resources. Enough of the PE format for the project's own .exe
// files (PE32+), with every offset checked against the file's size.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PeResource {
  uint32_t type;  // RT_* number; named types are left out
  uint32_t name;  // the resource's number; named resources are left out
  uint32_t language;
  std::vector<uint8_t> data;
};

struct PeImage {
  std::vector<std::string> importedDlls;  // as the import table spells them
  std::vector<PeResource> resources;
};

// false with a reason in error when the file is missing or not a PE32+ image.
bool readPeImage(const std::string& path, PeImage& image, std::string& error);

// The first resource of that type and number, or null.
const PeResource* findResource(const PeImage& image, uint32_t type, uint32_t name);

// A VS_VERSIONINFO resource: the fixed part's file and product versions and
// every string of its string tables (UTF-8, keyed by name).
struct VersionInfo {
  uint16_t fileVersion[4] = {};
  uint16_t productVersion[4] = {};
  std::vector<std::pair<std::string, std::string>> strings;
};

bool parseVersionInfo(const std::vector<uint8_t>& data, VersionInfo& info, std::string& error);

// A group icon resource's entries, as width x height in pixels (256 for 0).
std::vector<std::pair<int, int>> groupIconSizes(const std::vector<uint8_t>& data);
