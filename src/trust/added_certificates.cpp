#include "trust/added_certificates.h"

#include "os/registry.h"

namespace {

constexpr char kKey[] = "SOFTWARE\\Tovlan\\lumatrek";
constexpr char kValue[] = "AddedCertificates";
constexpr os::DWORD kLargestRecord = 64 * 1024;

AddedCertificate Parse(const std::string& line) {
  const size_t blank = line.find(' ');
  if (blank == std::string::npos) return {"", line};
  return {line.substr(0, blank), line.substr(blank + 1)};
}

}  // namespace

bool ReadAddedCertificates(std::vector<AddedCertificate>& entries) {
  entries.clear();
  os::RegKey key;
  os::LONG status = os::RegOpenKeyExA(os::HKEY_LOCAL_MACHINE, kKey, 0, os::KEY_READ | os::KEY_WOW64_64KEY, key.receive());
  if (status == os::ERROR_FILE_NOT_FOUND) return true;
  if (status != os::ERROR_SUCCESS) return false;
  os::DWORD type = 0;
  os::DWORD size = 0;
  status = os::RegQueryValueExA(key.get(), kValue, nullptr, &type, nullptr, &size);
  if (status == os::ERROR_FILE_NOT_FOUND) return true;
  if (status != os::ERROR_SUCCESS || type != os::REG_MULTI_SZ || size > kLargestRecord) return false;
  std::string data(size, '\0');
  if (size > 0 && os::RegQueryValueExA(key.get(), kValue, nullptr, &type,
                                       reinterpret_cast<os::BYTE*>(data.data()), &size) != os::ERROR_SUCCESS) {
    return false;
  }
  data.resize(size);
  // Lines end with a NUL each; an empty line ends the list.
  for (size_t start = 0; start < data.size();) {
    const size_t end = data.find('\0', start);
    const std::string line = data.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (line.empty()) break;
    entries.push_back(Parse(line));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return true;
}

bool WriteAddedCertificates(const std::vector<AddedCertificate>& entries) {
  std::string data;
  for (const AddedCertificate& entry : entries) data += entry.store + " " + entry.thumbprint + '\0';
  data += '\0';
  os::RegKey key;
  if (os::RegCreateKeyExA(os::HKEY_LOCAL_MACHINE, kKey, 0, nullptr, os::REG_OPTION_NON_VOLATILE,
                          os::KEY_READ | os::KEY_WRITE | os::KEY_WOW64_64KEY, nullptr, key.receive(),
                          nullptr) != os::ERROR_SUCCESS) {
    return false;
  }
  return os::RegSetValueExA(key.get(), kValue, 0, os::REG_MULTI_SZ, reinterpret_cast<const os::BYTE*>(data.data()),
                            static_cast<os::DWORD>(data.size())) == os::ERROR_SUCCESS;
}

bool DeleteAddedCertificates() {
  os::RegKey key;
  os::LONG status = os::RegOpenKeyExA(os::HKEY_LOCAL_MACHINE, kKey, 0, os::KEY_WRITE | os::KEY_WOW64_64KEY, key.receive());
  if (status == os::ERROR_FILE_NOT_FOUND) return true;
  if (status != os::ERROR_SUCCESS) return false;
  status = os::RegDeleteValueA(key.get(), kValue);
  return status == os::ERROR_SUCCESS || status == os::ERROR_FILE_NOT_FOUND;
}
