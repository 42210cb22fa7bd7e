// A preset's files from untrusted bytes: the profile (INI) reader and
// writer, and the text-list loader. Properties:
//  - a value written under a section and key reads back, in memory and from
//    the file Flush writes, and deleting the key gives the default again;
//    another key reads the same before and after (for names and values
//    that the format can hold: see Writable);
//  - a loaded text list holds no NUL and only CR LF line breaks, and saved
//    and loaded again it is the same text;
//  - its lines agree with its text, and deleting a line removes one.

#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "base/errors.h"
#include "base/file_io.h"
#include "base/profile_file.h"
#include "base/text_list.h"
#include "fuzz_check.h"

namespace {

using vellora::ProfileFile;
using vellora::TextList;
using vellora::fuzz::Escape;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Whether a section, key and value can be written and read back as they
// are: no line break anywhere; a section without "]"; a key that is not
// blank, holds no "=" and does not start like a section line; a value
// without blanks around it, not in quotes and within the read limit.
bool Writable(const std::string& section, const std::string& key, const std::string& value) {
  for (const std::string* part : {&section, &key, &value}) {
    if (part->find_first_of("\r\n") != std::string::npos) return false;
  }
  size_t key_start = key.find_first_not_of(" \t");
  if (section.find(']') != std::string::npos || key_start == std::string::npos ||
      key.find('=') != std::string::npos || key[key_start] == '[') {
    return false;
  }
  if (value.size() > ProfileFile::kMaxValueLength) return false;
  if (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()))) return false;
  return !(value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
           value.back() == value.front());
}

bool SameName(std::string a, std::string b) {
  auto norm = [](std::string& s) {
    size_t begin = s.find_first_not_of(" \t");
    size_t end = s.find_last_not_of(" \t");
    s = begin == std::string::npos ? "" : s.substr(begin, end - begin + 1);
    for (char& c : s) c = static_cast<char>(vellora::CharUpper(static_cast<unsigned char>(c)));
  };
  norm(a);
  norm(b);
  return a == b;
}

void CheckProfile(const std::string& path, const std::string& section, const std::string& key,
                  const std::string& value, const std::string& other) {
  ProfileFile profile(path);
  std::string before = profile.ReadString(section, other, "<none>");
  profile.ReadInteger(section, key, 0);
  if (!Writable(section, key, value)) {
    try {
      profile.WriteString(section, key, value);
    } catch (const vellora::EFileError&) {
      FUZZ_CHECK(section.find_first_of("\r\n") != std::string::npos ||
                     key.find_first_of("\r\n") != std::string::npos ||
                     value.find_first_of("\r\n") != std::string::npos,
                 "a write refused without a line break");
    }
    return;
  }
  profile.WriteString(section, key, value);
  FUZZ_CHECK(profile.ReadString(section, key, "<none>") == value,
             "written " + Escape(value) + " under " + Escape(section) + " " + Escape(key));
  bool same_key = SameName(key, other);
  if (!same_key) {
    FUZZ_CHECK(profile.ReadString(section, other, "<none>") == before,
               "writing " + Escape(key) + " changed " + Escape(other));
  }
  profile.Flush();
  ProfileFile reread(path);
  FUZZ_CHECK(reread.ReadString(section, key, "<none>") == value, "value lost in the file");
  if (!same_key) {
    FUZZ_CHECK(reread.ReadString(section, other, "<none>") == before, "other key lost");
  }
  reread.DeleteKey(section, key);
  FUZZ_CHECK(reread.ReadString(section, key, "<none>") == "<none>", "a deleted key reads");
}

void CheckTextList(const std::string& path, const std::string& bytes) {
  TextList list;
  list.LoadFromBytes(bytes);
  const std::string& text = list.Text();
  FUZZ_CHECK(text.find('\0') == std::string::npos, "a NUL kept");
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') FUZZ_CHECK(i + 1 < text.size() && text[i + 1] == '\n', "a lone CR");
    if (text[i] == '\n') FUZZ_CHECK(i > 0 && text[i - 1] == '\r', "a lone LF");
  }
  list.SaveToFile(path);
  TextList loaded;
  loaded.LoadFromFile(path);
  FUZZ_CHECK(loaded.Text() == text, "saved and loaded again differs: " + Escape(text));

  std::vector<std::string> lines = list.Lines();
  FUZZ_CHECK(static_cast<int>(lines.size()) == list.Count(), "Lines and Count disagree");
  bool ends_with_break = text.empty() || text.compare(text.size() - 1, 1, "\n") == 0;
  FUZZ_CHECK(TextList::JoinLines(lines) == (ends_with_break ? text : text + "\r\n"),
             "lines joined differ from the text " + Escape(text));
  for (int i = 0; i < list.Count(); ++i) {
    FUZZ_CHECK(list.Line(i) == list.FullLine(i).substr(0, TextList::kMaxLineRead), "line read");
  }
  if (list.Count() > 0) {
    int count = list.Count();
    list.Delete(static_cast<int>(bytes.size() % static_cast<size_t>(count)));
    FUZZ_CHECK(list.Count() == count - 1, "a delete removed other than one line");
  }
}

// A folder of this process for the two files every input is written to,
// removed at exit; on a tmpfs where there is one, as each write is flushed.
char folder_path[64];

void RemoveFolder() {
  for (const char* name : {"/settings.ini", "/list.txt"}) {
    unlink((std::string(folder_path) + name).c_str());
  }
  rmdir(folder_path);
}

std::string MakeFolder() {
  for (const char* base : {"/dev/shm", "/tmp"}) {
    std::snprintf(folder_path, sizeof folder_path, "%s/vb-fuzz-preset-XXXXXX", base);
    if (mkdtemp(folder_path) != nullptr) {
      std::atexit(RemoveFolder);
      return folder_path;
    }
  }
  std::perror("fuzz: no folder for the preset files");
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = MakeFolder();
  FuzzedDataProvider input(data, size);
  std::string section = input.ConsumeRandomLengthString(64);
  std::string key = input.ConsumeRandomLengthString(64);
  std::string other = input.ConsumeRandomLengthString(64);
  std::string value = input.ConsumeRandomLengthString(4096);
  std::string bytes = input.ConsumeRemainingBytesAsString();

  const std::string ini = folder + "/settings.ini";
  vellora::WriteWholeFile(ini, bytes);
  CheckProfile(ini, section, key, value, other);
  CheckTextList(folder + "/list.txt", bytes);
  return 0;
}
