// The "vellora text" subcommand: what word extraction reads from files.
//
//   vellora text [--mode visible|main] [--unicode] FILE...
//
// Prints, for each FILE, the text extraction reads from it before cutting it
// into words: without --mode every text between tags (the lines joined, the
// markup removed), with --mode visible what a browser shows, with --mode main
// the page's main article; blocks as lines. In ANSI mode (the default) the
// text is Windows-1252, with --unicode UTF-8, as extraction in that mode
// reads it. With several files each text follows a line "==> FILE <==" and
// a blank line separates them. A file that cannot be read prints its error
// to stderr and the others are still printed; exit status 1 then.

#include <cstdio>
#include <new>
#include <string>

#include "base/errors.h"
#include "base/file_io.h"
#include "cli/commands.h"
#include "cli/standard_output.h"
#include "pipeline/token_extractor.h"

namespace vellora::cli {

int TextCommand(const Args& args, const Streams& io) {
  ExtractMode extract = ExtractMode::kEveryText;
  TextMode mode = TextMode::kAnsi;
  std::vector<std::string> files;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--mode") {
      if (i + 1 == args.size())
        return UsageError(io, "text", "--mode needs \"visible\" or \"main\"");
      const std::string& value = args[++i];
      if (value == "visible") {
        extract = ExtractMode::kVisibleText;
      } else if (value == "main") {
        extract = ExtractMode::kMainText;
      } else {
        return UsageError(io, "text",
                          "--mode takes \"visible\" or \"main\", not \"" + value + "\"");
      }
    } else if (arg == "--unicode") {
      mode = TextMode::kUnicode;
    } else if (arg == "--") {
      files.insert(files.end(), args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
      return UsageError(io, "text", "unknown option '" + arg + "'");
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty()) return UsageError(io, "text", "text needs at least one FILE");

  int status = 0;
  for (size_t i = 0; i < files.size(); ++i) {
    const std::string& file = files[i];
    try {
      std::string text = ReadableText(ReadWholeFile(file), file, mode, extract);
      std::string out;
      if (files.size() > 1) out = (i > 0 ? "\n==> " : "==> ") + file + " <==\n";
      out += text;
      if (!text.empty()) out += '\n';
      WriteStandardOutput(io.out, out);
    } catch (const std::bad_alloc&) {
      std::fprintf(io.err, "%s\n", TopLevelMessage(kOutOfMemoryMessage).c_str());
      status = 1;
    } catch (const VelloraError& e) {
      std::fprintf(io.err, "%s\n", TopLevelMessage(e.what()).c_str());
      status = 1;
    }
  }
  try {
    FlushStandardOutput(io.out);
  } catch (const VelloraError& e) {
    std::fprintf(io.err, "%s\n", TopLevelMessage(e.what()).c_str());
    return 1;
  }
  return status;
}

}  // namespace vellora::cli
