#include "cli/usage.h"

#include <cstdio>

#include "base/errors.h"
#include "cli/field_help.h"
#include "cli/standard_output.h"
#include "state/main_state.h"

namespace vellora::cli {
namespace {

const char kMainHelp[] =
    "usage: vellora COMMAND [ARGUMENT...]\n"
    "\n"
    "Takes the steps of Vellora Brindo on a preset without a window, and offers\n"
    "tools for its pattern engine and its HTTP client.\n"
    "\n"
    "Commands:\n"
    "  run       load a preset, set fields, take steps, save the preset\n"
    "  presets   list the presets\n"
    "  fields    list the fields that run's --set and --dump take\n"
    "  fetch     download one URL\n"
    "  regex     replace with a pattern, or show its compiled program\n"
    "  text      show the text that word extraction reads from files\n"
    "  help      show the help of a command\n"
    "\n"
    "Options:\n"
    "  -h, --help   show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "'vellora help COMMAND' or 'vellora COMMAND --help' shows a command's help.\n";

const char kRunHelp[] =
    "usage: vellora run [--presets DIR] --preset NAME [--create] [--seed N]\n"
    "                   [--set FIELD=VALUE]... [--dump FIELD]... [--no-save] [--verbose]\n"
    "                   [STEP...]\n"
    "\n"
    "Does what the desktop program does between choosing a preset and closing its\n"
    "window: loads the default texts and the preset, applies the --set values, takes\n"
    "the steps in order, prints the --dump fields and saves the preset, also after a\n"
    "failed step. Ctrl-C ends a waiting download, runs no further step and still\n"
    "saves the preset.\n"
    "\n"
    "Options:\n"
    "  --presets DIR      the presets folder (default: Presets/ beside the program, or\n"
    "                     $XDG_DATA_HOME/vellora-brindo/Presets/ when installed)\n"
    "  --preset NAME      the preset to load\n"
    "  --create           create the preset when it does not exist\n"
    "  --seed N           seed the random generator with N (0 to 4294967295) instead of\n"
    "                     the clock, so that a run can be repeated\n"
    "  --set FIELD=VALUE  set a field marked \"yes\" under --set below; an integer is\n"
    "                     clamped into its range, a check box takes 1 or 0, and for a\n"
    "                     text list @PATH loads the file\n"
    "  --dump FIELD       print a field after the steps: a text list as its text, a\n"
    "                     report list as one TAB-separated line per row\n"
    "  --no-save          do not save the preset\n"
    "  --verbose          print every status text to stderr\n"
    "  -h, --help         show this help and exit\n"
    "\n"
    "Steps:\n"
    "  grab            download each URL of urls2grab into the working folder\n"
    "  delete-grabbed  delete the downloaded files (zarngrab#N.htm) of the working folder\n"
    "  delete-all      delete every file of the working folder\n"
    "  extract         count the words of the working folder's files into words\n"
    "  phrases         spend the word counts on phrases (samples)\n"
    "  generate        make paragraphs and pages (pars, filelist) from the phrases\n"
    "  save            write the pages, the index page and sitemap.xml into eresfolder\n"
    "\n"
    "Fields (kept: the preset file or settings.ini key that keeps the field):\n";

const char kRunHelpEnd[] =
    "\n"
    "Exit status: 0 success, 1 a failed step or a preset error, 2 a usage error.\n";

const char kPresetsHelp[] =
    "usage: vellora presets [--presets DIR]\n"
    "\n"
    "Prints the names of the presets, one per line, in the order the preset dialog\n"
    "lists them.\n"
    "\n"
    "Options:\n"
    "  --presets DIR   the presets folder (default: as for run)\n"
    "  -h, --help      show this help and exit\n";

const char kFieldsHelp[] =
    "usage: vellora fields\n"
    "\n"
    "Prints one line per field that run's --set and --dump take, with five\n"
    "TAB-separated columns: name, kind, range and default, whether --set takes it\n"
    "(yes or no), and the preset file or settings.ini key that keeps it (or -).\n"
    "\n"
    "Options:\n"
    "  -h, --help   show this help and exit\n";

const char kFetchHelp[] =
    "usage: vellora fetch [--verbose] [--https] [--timeout S] URL [-o FILE]\n"
    "\n"
    "Downloads URL with the grabber's client settings. The body goes to FILE, or to\n"
    "stdout; a failed request prints its message to stderr, writes no FILE and exits\n"
    "with status 1.\n"
    "\n"
    "Options:\n"
    "  -o FILE       write the body to FILE\n"
    "  --https       allow https URLs and relocations between http and https; the\n"
    "                server's certificate must be valid for its host and come from\n"
    "                an authority of the system's store (SSL_CERT_FILE or SSL_CERT_DIR\n"
    "                name other trusted certificates)\n"
    "  --timeout S   end the request with \"Connection timed out\" when the server\n"
    "                sends nothing for S seconds (0 to 3600; 0, the default, waits)\n"
    "  --verbose     print the final status code and reason phrase to stderr\n"
    "  -h, --help    show this help and exit\n";

const char kRegexHelp[] =
    "usage: vellora regex replace PATTERN TEMPLATE\n"
    "       vellora regex compile PATTERN\n"
    "\n"
    "replace  replaces every match of PATTERN in stdin with TEMPLATE and prints the\n"
    "         result to stdout\n"
    "compile  prints the compiled program and its search facts in hexadecimal\n"
    "\n"
    "A pattern error prints the engine's message to stderr; exit status 1.\n"
    "\n"
    "Options:\n"
    "  -h, --help   show this help and exit\n";

const char kTextHelp[] =
    "usage: vellora text [--mode visible|main] [--unicode] FILE...\n"
    "\n"
    "Prints the text that word extraction reads from each FILE before it cuts the\n"
    "text into words, so that you can see what will be counted. Blocks (paragraphs,\n"
    "headings, list items, table cells) are lines. With several files, each text\n"
    "follows a line \"==> FILE <==\" and a blank line separates them.\n"
    "\n"
    "Options:\n"
    "  --mode visible  what a browser shows of the page: no script, style, hidden\n"
    "                  elements or comments (the setting extractmode=1)\n"
    "  --mode main     only the page's main article, without navigation, header,\n"
    "                  footer, sidebars, comments, share and related blocks\n"
    "                  (extractmode=2)\n"
    "                  Without --mode: every text between tags, the lines joined and\n"
    "                  the markup removed (extractmode=0, the default).\n"
    "  --unicode       read as a Unicode preset does and print UTF-8; without it the\n"
    "                  text is Windows-1252, as in an ANSI preset\n"
    "  -h, --help      show this help and exit\n"
    "\n"
    "A .txt file, or one that does not start with markup, is read as text in the\n"
    "reader modes. A file that cannot be read prints its error to stderr and the\n"
    "others are still printed; exit status 1.\n";

const char kHelpHelp[] =
    "usage: vellora help [COMMAND]\n"
    "\n"
    "Shows the help of COMMAND, or of the whole command.\n";

bool IsHelpOption(const std::string& argument) { return argument == "--help" || argument == "-h"; }

int PrintHelp(const Streams& io, const std::string& text) { return PrintResult(io, text); }

}  // namespace

std::optional<std::string> HelpText(const std::string& command) {
  if (command.empty()) return kMainHelp;
  if (command == "run") return kRunHelp + FieldHelpTable() + kRunHelpEnd;
  if (command == "presets") return kPresetsHelp;
  if (command == "fields") return kFieldsHelp;
  if (command == "fetch") return kFetchHelp;
  if (command == "regex") return kRegexHelp;
  if (command == "text") return kTextHelp;
  if (command == "help") return kHelpHelp;
  return std::nullopt;
}

std::string VersionLine() { return std::string("vellora ") + kVersionText; }

int PrintResult(const Streams& io, std::string_view text) {
  try {
    WriteStandardOutput(io.out, text);
    FlushStandardOutput(io.out);
  } catch (const VelloraError& e) {
    std::fprintf(io.err, "%s\n", TopLevelMessage(e.what()).c_str());
    return 1;
  }
  return 0;
}

int UsageError(const Streams& io, const std::string& command, const std::string& message) {
  std::string help = command.empty() ? "vellora --help" : "vellora " + command + " --help";
  std::fprintf(io.err, "vellora: %s; see '%s'\n", message.c_str(), help.c_str());
  return 2;
}

std::optional<int> AnswerHelpRequest(const Args& arguments, const Streams& io) {
  if (arguments.empty()) return UsageError(io, "", "no command given");
  const std::string& first = arguments[0];
  if (IsHelpOption(first)) return PrintHelp(io, kMainHelp);
  if (first == "--version") {
    if (arguments.size() > 1) return UsageError(io, "", "--version takes no arguments");
    return PrintHelp(io, VersionLine() + "\n");
  }
  if (first == "help") {
    if (arguments.size() > 2) return UsageError(io, "", "help takes one command at most");
    std::string command = arguments.size() == 2 ? arguments[1] : "";
    std::optional<std::string> text = HelpText(command);
    if (!text) return UsageError(io, "", "unknown command '" + command + "'");
    return PrintHelp(io, *text);
  }
  std::optional<std::string> text = HelpText(first);
  if (!text) return std::nullopt;  // the dispatcher reports the unknown command
  // The regex tools take patterns, which may look like options; only the
  // places of an option ask for help there.
  if (first == "regex") {
    bool asked = (arguments.size() > 1 && IsHelpOption(arguments[1])) ||
                 (arguments.size() == 3 && IsHelpOption(arguments[2]));
    return asked ? std::optional<int>(PrintHelp(io, *text)) : std::nullopt;
  }
  for (size_t i = 1; i < arguments.size(); ++i) {
    if (IsHelpOption(arguments[i])) return PrintHelp(io, *text);
  }
  return std::nullopt;
}

}  // namespace vellora::cli
