// The "vellora run" and "vellora presets" subcommands: start-up with a
// preset named on the command line, field values, the steps in order, and
// the save of close.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "app/fields.h"
#include "app/preset_dialog.h"
#include "app/start_up.h"
#include "base/errors.h"
#include "base/event_loop.h"
#include "base/file_io.h"
#include "base/numbers.h"
#include "base/paths.h"
#include "base/poll_event_loop.h"
#include "cli/cli_notifier.h"
#include "cli/commands.h"
#include "cli/standard_output.h"
#include "cli/steps.h"
#include "state/main_state.h"

namespace vellora::cli {
namespace {

struct RunOptions {
  std::string presets_folder;
  std::string preset;
  bool create = false;
  std::optional<uint32_t> seed;
  std::vector<std::pair<std::string, std::string>> sets;
  std::vector<std::string> dumps;
  bool save = true;
  bool verbose = false;
  std::vector<std::string> steps;
};

std::optional<uint32_t> ParseSeed(const std::string& text) {
  std::optional<int64_t> value = ParseDecimal(text, 0, UINT32_MAX);
  if (!value) return std::nullopt;
  return static_cast<uint32_t>(*value);
}

// Parses the arguments of "run"; returns an error text for a usage error.
std::optional<std::string> ParseRunOptions(const Args& args, StepLookup find_step,
                                           RunOptions* options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string* out) -> bool {
      if (i + 1 >= args.size()) return false;
      *out = args[++i];
      return true;
    };
    std::string text;
    if (arg == "--presets") {
      if (!value(&options->presets_folder)) return "--presets needs a folder";
    } else if (arg == "--preset") {
      if (!value(&options->preset)) return "--preset needs a name";
    } else if (arg == "--create") {
      options->create = true;
    } else if (arg == "--seed") {
      if (!value(&text)) return "--seed needs a number";
      options->seed = ParseSeed(text);
      if (!options->seed) return "--seed takes a whole number from 0 to 4294967295";
    } else if (arg == "--set") {
      if (!value(&text)) return "--set needs FIELD=VALUE";
      size_t eq = text.find('=');
      if (eq == std::string::npos || eq == 0) return "--set needs FIELD=VALUE, not '" + text + "'";
      options->sets.emplace_back(text.substr(0, eq), text.substr(eq + 1));
    } else if (arg == "--dump") {
      if (!value(&text)) return "--dump needs a field name";
      options->dumps.push_back(text);
    } else if (arg == "--no-save") {
      options->save = false;
    } else if (arg == "--verbose") {
      options->verbose = true;
    } else if (!arg.empty() && arg[0] == '-') {
      return "unknown option '" + arg + "'";
    } else {
      if (find_step(arg) == nullptr) return "unknown step '" + arg + "'";
      options->steps.push_back(arg);
    }
  }
  if (options->preset.empty()) return "run needs --preset NAME";
  MainState probe;
  for (const auto& [field, field_value] : options->sets) {
    switch (SetField(probe, field, field_value)) {
      case SetFieldResult::kUnknownField:
        return "unknown field '" + field + "'";
      case SetFieldResult::kNotSettable:
        return "field '" + field + "' cannot be set";
      case SetFieldResult::kBadValue:
        return "field '" + field + "' takes 1 or 0, not '" + field_value + "'";
      case SetFieldResult::kLineBreak:
        return "field '" + field + "' is a single line and cannot hold a line break (CR or LF)";
      case SetFieldResult::kSet:
        break;
    }
  }
  for (const std::string& field : options->dumps) {
    if (!DumpField(probe, field)) return "unknown field '" + field + "'";
  }
  return std::nullopt;
}

// Start-up's host for the command: the preset comes from --preset, and a
// missing preset is created only with --create.
class CommandHost : public StartUpHost {
 public:
  explicit CommandHost(const RunOptions& options) : options_(options) {}

  void RunPresetDialog(MainState& state) override {
    const PresetMode mode = options_.create ? PresetMode::kLoadOrCreate : PresetMode::kLoad;
    if (std::optional<std::string> refusal = ChoosePreset(state, options_.preset, mode)) {
      // A good name that kLoad refuses names a preset that does not exist.
      if (!options_.create && !CheckPresetName(options_.preset)) {
        refusal->append(" (use --create to create it)");
      }
      throw VelloraError(*refusal);
    }
  }

  // The command shows no folder list, so there is nothing to root: a
  // missing working folder matters only to a step that needs it, which
  // reports it with its own error.
  void RootFileList(const std::string&) override {}

 private:
  const RunOptions& options_;
};

}  // namespace

int RunCommand(const Args& args, const Streams& io) {
  return RunCommandWithSteps(args, FindStep, io);
}

int RunCommandWithSteps(const Args& args, StepLookup find_step, const Streams& io) {
  RunOptions options;
  if (std::optional<std::string> error = ParseRunOptions(args, find_step, &options)) {
    return UsageError(io, "run", *error);
  }
  CliNotifier notifier(options.verbose, io.out, io.err);
  MainState state;
  if (options.seed) state.random.SetSeed(*options.seed);
  CommandHost host(options);
  StartUpResult result =
      FormCreate(state, host, notifier, options.presets_folder, !options.seed.has_value());
  if (result != StartUpResult::kReady || !state.preset_loaded) return 1;

  for (const auto& [field, value] : options.sets) {
    std::string text = value;
    if (IsTextListField(field) && !value.empty() && value[0] == '@') {
      // The file may be a pipe (@/dev/stdin, a process substitution).
      try {
        TextList loaded;
        loaded.LoadFromBytes(ReadWholeFileOrStream(value.substr(1)));
        text = loaded.Text();
      } catch (const std::exception& e) {
        notifier.Error(ErrorMessageOf(e));
        return 1;
      }
    }
    SetField(state, field, text);
  }

  // Ctrl-C is the application terminating: a waiting download ends, no
  // further step runs, and the preset is still saved.
  PollEventLoop loop;
  TerminateLoopOnSigint(&loop);
  bool failed = notifier.HadError();
  StepContext context{state, notifier, loop};
  // A step's own errors are reported here and end the run; anything else is
  // a fault of the program, passed on to the top-level handler once the
  // preset is saved.
  std::exception_ptr unexpected;
  for (const std::string& name : options.steps) {
    if (loop.TerminateRequested()) break;
    try {
      find_step(name)->run(context);
    } catch (const VelloraError& e) {
      notifier.Error(e.what());
      failed = true;
      break;
    } catch (const std::bad_alloc&) {
      notifier.Error(kOutOfMemoryMessage);
      failed = true;
      break;
    } catch (...) {
      unexpected = std::current_exception();
      break;
    }
  }
  notifier.EndProgress();
  if (loop.TerminateRequested()) failed = true;

  // A dump that cannot be written fails the run; the preset is saved all
  // the same.
  try {
    for (const std::string& field : options.dumps) {
      WriteStandardOutput(io.out, *DumpField(state, field));
    }
    FlushStandardOutput(io.out);
  } catch (const std::exception& e) {
    notifier.Error(ErrorMessageOf(e));
    failed = true;
  }

  if (options.save) {
    try {
      FormClose(state);
    } catch (const std::exception& e) {
      notifier.Error(ErrorMessageOf(e));
      failed = true;
    }
  }
  TerminateLoopOnSigint(nullptr);
  if (unexpected) std::rethrow_exception(unexpected);
  return failed ? 1 : 0;
}

int PresetsCommand(const Args& args, const Streams& io) {
  std::string folder;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--presets") {
      if (i + 1 >= args.size()) return UsageError(io, "presets", "--presets needs a folder");
      folder = args[++i];
    } else {
      return UsageError(io, "presets", "unknown argument '" + args[i] + "'");
    }
  }
  folder = folder.empty() ? LocateFolders().presets : WithTrailingSlash(folder);
  try {
    for (const std::string& name : ListPresets(folder)) WriteStandardOutput(io.out, name + "\n");
    FlushStandardOutput(io.out);
  } catch (const std::exception& e) {
    std::fprintf(io.err, "%s\n", TopLevelMessage(ErrorMessageOf(e)).c_str());
    return 1;
  }
  return 0;
}

}  // namespace vellora::cli
