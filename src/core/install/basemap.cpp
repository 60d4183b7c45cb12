#include "basemap.hpp"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

#include "../common/bytes.hpp"
#include "../common/number_text.hpp"
#include "../common/path_text.hpp"
#include "../common/prompter.hpp"
#include "../img/img_directory.hpp"
#include "../platform/file_kind.hpp"
#include "../platform/file_services.hpp"
#include "../platform/utf8_path.hpp"
#include "../platform/windows_host.hpp"

namespace velmor {

namespace fs = std::filesystem;

namespace {

// A basemap is a few megabytes; the limit only keeps a runaway compiler
// from filling the memory.
constexpr std::uint64_t kBasemapLimit = 1000ull * 1024 * 1024;
constexpr std::uint32_t kLargestMkgmapName = 99999999;
// Of the compiler's error output: the lines shown when it failed, and how
// much of it is kept at all.
constexpr std::size_t kErrorLinesShown = 10;
constexpr std::uint64_t kErrorOutputKept = 64 * 1024;
// The lock a run holds in its work folder, and how old a folder without one
// must be before it counts as left behind.
constexpr const char* kWorkLockName = "/run.lock";
constexpr auto kLocklessAge = std::chrono::minutes(10);

// "basemap-" and eight hexadecimal digits, as makeWorkFolder names them.
bool isWorkFolderName(const std::string& name) {
  static constexpr std::string_view kPrefix = "basemap-";
  if (name.size() != kPrefix.size() + 8 || name.compare(0, kPrefix.size(), kPrefix) != 0) return false;
  return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(kPrefix.size()), name.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

bool endsWithNoCase(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && toLowerAscii(text.substr(text.size() - end.size())) == end;
}

// The end of a file of at most a few kilobytes' worth, "" when there is none.
std::string tailOf(const std::string& path, std::uint64_t most) {
  std::ifstream in(pathFromUtf8(path), std::ios::binary | std::ios::ate);
  if (!in) return "";
  const std::streamoff size = in.tellg();
  const std::streamoff from = size > static_cast<std::streamoff>(most) ? size - static_cast<std::streamoff>(most) : 0;
  in.seekg(from);
  std::string text(static_cast<std::size_t>(size - from), '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  return text;
}

// The last lines of the compiler's error output, each on a line of its own.
std::string lastLines(const std::string& text, std::size_t count) {
  std::size_t end = text.find_last_not_of("\r\n");
  if (end == std::string::npos) return "";
  std::size_t from = end + 1;
  for (std::size_t lines = 0; lines < count && from > 0; ++lines) {
    const std::size_t newline = text.find_last_of('\n', from - 1);
    from = newline == std::string::npos ? 0 : newline;
    if (newline == std::string::npos) break;
  }
  std::string out = text.substr(from, end + 1 - from);
  if (!out.empty() && out[0] == '\n') out.erase(0, 1);
  return out;
}

class Run {
 public:
  Run(BasemapJob& job, BasemapServices& services) : job_(job), s_(services) {}

  BasemapOutcome go() {
    if (job_.source.tiles.empty()) {
      s_.prompter.message(kNoPreviewData);
      return outcome_;
    }
    if (targetIsProduct()) return outcome_;
    offerMkgmap();
    const CompilerKind kind = compilerKind(job_.compilerPath);
    // mkgmap reads the labels right as UTF-8 under the header as it stands;
    // cgpsmapper reads them in the product's code page.
    const LabelEncoding encoding = kind == CompilerKind::Mkgmap ? LabelEncoding::Utf8 : LabelEncoding::CodePage;
    if (!makeWorkFolder()) return outcome_;
    // A map source that could not be written is never compiled.
    if (writePreviewMapSource(job_.source, mapSource_, encoding, s_.prompter, s_.files, s_.errorText) !=
        PreviewWrite::Written)
      return finish();
    const std::string compiler = trimBlanks(job_.compilerPath).size() <= 4 ? "" : resolveCompiler(job_.compilerPath);
    if (compiler.empty()) {
      keepMapSource();
      s_.prompter.message(cannotLocateCompilerText(job_.compilerPath));
      return finish();
    }
    std::string refusal;
    const std::uint32_t mapNumber = overviewMapNumber(job_.source, refusal).value_or(0);
    if (!compile(compiler, kind, mapNumber)) return finish();
    if (!isRegularFile(compiled_)) {
      s_.prompter.message(kNotSuccessful);
      outcome_.status = BasemapStatus::NotSuccessful;
      return finish();
    }
    replaceTarget();
    return finish();
  }

 private:
  // The product file (or any other) holds what no IMG may replace; the
  // backup would keep it, but the product would be gone from its place.
  bool targetIsProduct() {
    const std::string& target = job_.target;
    const bool product = !job_.productPath.empty() && s_.files.exists(target) &&
                         sameFile(s_.files.identity(target), s_.files.identity(job_.productPath));
    if (!product && !endsWithNoCase(std::string(trimBlanks(target)), ".tdb")) return false;
    s_.prompter.message("A basemap is never written over a product file: " + target + ". Choose an .img file.");
    return true;
  }

  void offerMkgmap() {
    if (!trimBlanks(job_.compilerPath).empty() || !s_.findMkgmap) return;
    const std::string mkgmap = s_.findMkgmap();
    if (mkgmap.empty()) return;
    if (s_.prompter.ask(useMkgmapQuestion(mkgmap), Buttons::YesNo) != Answer::Yes) return;
    job_.compilerPath = mkgmap;
    outcome_.compilerChosen = true;
  }

  // A folder no other run uses: made with a fresh name, never taken over.
  // The run holds a lock in it to the end, so that a run killed before it
  // could remove its folder leaves one the next run knows for a leftover.
  bool makeWorkFolder() {
    clearLeftWorkFolders();
    std::random_device random;
    std::error_code ec;
    for (int attempt = 0; attempt < 16; ++attempt) {
      char name[32];
      std::snprintf(name, sizeof name, "basemap-%08x", static_cast<unsigned>(random()));
      const std::string folder = job_.systemFolder + "/" + name;
      if (fs::create_directory(pathFromUtf8(folder), ec)) {
        work_ = folder;
        mapSource_ = work_ + "/pv.mp";
        holdWorkFolder();
        return true;
      }
      if (ec) break;
    }
    s_.prompter.message("Cannot make a work folder in " + job_.systemFolder + ": " +
                        (ec ? ec.message() : std::string("every name tried is taken")));
    return false;
  }

  void holdWorkFolder() {
    const std::string lock = work_ + kWorkLockName;
    std::ofstream(pathFromUtf8(lock), std::ios::binary);
    std::string error;
    // Without the lock the folder is still removed at the end; only a kill
    // would leave it for the age rule below.
    workLock_ = s_.files.lockFile(lock, std::chrono::milliseconds(0), {}, error);
  }

  // Work folders of runs that were killed: a folder whose lock nobody holds,
  // or, without a lock file, one older than a run could be that is still
  // making its lock.
  void clearLeftWorkFolders() {
    std::error_code ec;
    fs::directory_iterator entries(pathFromUtf8(job_.systemFolder), ec);
    if (ec) return;
    const auto now = fs::file_time_type::clock::now();
    for (const fs::directory_entry& entry : entries) {
      if (!isWorkFolderName(utf8FromPath(entry.path().filename())) || !entry.is_directory(ec) || entry.is_symlink(ec))
        continue;
      const std::string folder = utf8FromPath(entry.path());
      const std::string lock = folder + kWorkLockName;
      if (fs::exists(pathFromUtf8(lock), ec)) {
        std::string error;
        if (!s_.files.lockFile(lock, std::chrono::milliseconds(0), {}, error)) continue;  // its run goes on
      } else {
        const auto written = fs::last_write_time(entry.path(), ec);
        if (ec || now - written < kLocklessAge) continue;
      }
      fs::remove_all(entry.path(), ec);
    }
  }

  // Without a compiler the map source is left where the user looks for it.
  void keepMapSource() {
    std::error_code ec;
    fs::rename(pathFromUtf8(mapSource_), pathFromUtf8(job_.systemFolder + "/pv.mp"), ec);
  }

  bool compile(const std::string& compiler, CompilerKind kind, std::uint32_t mapNumber) {
    if (kind == CompilerKind::Mkgmap) {
      if (mapNumber > kLargestMkgmapName) {
        s_.prompter.message("mkgmap names a map with 8 digits: the overview map number " + std::to_string(mapNumber) +
                            " has more. Choose a smaller Overview Number.");
        return false;
      }
      compiled_ = work_ + "/" + mkgmapMapName(mapNumber) + ".img";
    } else {
      compiled_ = work_ + "/pv.img";
    }
    const ProcessRequest request = compilerRequest(compiler, job_.winePrefix, mapNumber, work_);
    if (s_.compilerRunning) s_.compilerRunning(true);
    const ProcessEnd end =
        runAndWait(s_.processes, request, s_.betweenPolls, WaitLimits{s_.compilerTimeout, s_.cancelled});
    if (s_.compilerRunning) s_.compilerRunning(false);
    outcome_.compilerErrors = tailOf(request.errorFile, kErrorOutputKept);
    if (!end.started()) {
      s_.prompter.message("Cannot start the map compiler " + compiler + ": " + end.error);
      return false;
    }
    std::string failure;
    if (end.cancelled) {
      failure = "Create Basemap was cancelled: the map compiler " + compiler + " was stopped.";
    } else if (end.timedOut) {
      failure = "The map compiler " + compiler + " did not finish within " +
                std::to_string(std::chrono::duration_cast<std::chrono::seconds>(s_.compilerTimeout).count()) +
                " s and was stopped.";
    } else if (!end.exited) {
      failure = "The map compiler " + compiler + " ended abnormally" +
                (end.signal ? " (signal " + std::to_string(end.signal) + ")." : ".");
    } else if (end.exitCode != 0) {
      // Whatever it left is no map to trust.
      failure = "The map compiler " + compiler + " failed (exit code " + std::to_string(end.exitCode) + ").";
    }
    if (failure.empty()) return true;
    const std::string last = lastLines(outcome_.compilerErrors, kErrorLinesShown);
    s_.prompter.message(failure + " Nothing was replaced." + (last.empty() ? "" : "\n" + last));
    return false;
  }

  // The compiled map onto the target: asked first when it exists, with a
  // backup made once; in one atomic step.
  void replaceTarget() {
    const std::string& target = job_.target;
    if (s_.files.exists(target)) {
      if (s_.prompter.ask(replaceBasemapQuestion(target), Buttons::YesNoCancel) != Answer::Yes) return;
      if (std::optional<WriteRefusal> refusal = s_.files.checkWritable(target)) {
        s_.prompter.message(target + " " + refusal->text);
        return;
      }
      if (s_.files.heldOpen(target)) {
        s_.prompter.message(kCloseMapsource);
        return;
      }
      const std::string backup = basemapBackupName(target);
      std::string error;
      switch (s_.files.createBackup(target, backup, error)) {
        case BackupResult::Created: s_.prompter.message("Backup:" + backup + " created"); break;
        case BackupResult::Existed: break;
        case BackupResult::Failed: s_.prompter.message("Cannot make the backup " + backup + ": " + error); return;
      }
    }
    FileRead map = s_.files.readFile(compiled_, kBasemapLimit, OverLimit::Refuse);
    if (!map) {
      s_.prompter.message("Cannot read " + compiled_ + ": " + map.error);
      return;
    }
    if (std::optional<std::string> error = s_.files.atomicReplace(target, map.bytes)) {
      s_.prompter.message(s_.files.heldOpen(target) ? std::string(kCloseMapsource) : target + " " + *error);
      return;
    }
    s_.prompter.message(kNewBasemapCreated);
    outcome_.status = BasemapStatus::Created;
  }

  // Every end of the command takes the work folder with it.
  BasemapOutcome finish() {
    std::error_code ec;
    workLock_.reset();  // Windows removes no file that is held open
    if (!work_.empty()) fs::remove_all(pathFromUtf8(work_), ec);
    return outcome_;
  }

  BasemapJob& job_;
  BasemapServices& s_;
  std::string work_;
  std::string mapSource_;
  std::string compiled_;
  std::unique_ptr<FileLock> workLock_;
  BasemapOutcome outcome_;
};

}  // namespace

std::string cannotLocateCompilerText(const std::string& compilerPath) {
  const std::string path(trimBlanks(compilerPath));
  if (path.empty()) return kCannotLocateCompiler;
  const std::string fixed =
      compilerKind(path) == CompilerKind::Mkgmap ? "Cannot locate mkgmap. Check Settings." : kCannotLocateCompiler;
  return fixed + " The map compiler set is " + path + ", which is not a file.";
}

CompilerKind compilerKind(const std::string& compilerPath) {
  return toLowerAscii(fileNameOf(std::string(trimBlanks(compilerPath)))).find("mkgmap") != std::string::npos
             ? CompilerKind::Mkgmap
             : CompilerKind::Cgpsmapper;
}

std::string mkgmapMapName(std::uint32_t mapNumber) { return mapNumberName(mapNumber); }

std::string resolveCompiler(const std::string& compilerPath) {
  std::string name(trimBlanks(compilerPath));
  if (name.empty()) return "";
  // A bare name is what PATH holds, as a command line would find it.
  if (name.find_first_of("/\\") == std::string::npos) {
    if (std::string found = findOnPath(name); !found.empty()) name = found;
  }
  std::error_code ec;
  const fs::path absolute = fs::absolute(pathFromUtf8(name), ec);
  if (ec) return "";
  const std::string path = utf8FromPath(absolute.lexically_normal());
  return isRegularFile(path) ? path : "";
}

ProcessRequest compilerRequest(const std::string& compiler, const std::string& winePrefix, std::uint32_t mapNumber,
                               const std::string& workFolder) {
  ProcessRequest request;
  request.workingFolder = workFolder;
  request.ownGroup = true;
  request.errorFile = workFolder + "/compiler.err";
  if (compilerKind(compiler) == CompilerKind::Mkgmap) {
    if (endsWithNoCase(compiler, ".jar")) {
      request.program = "java";
      request.arguments = {"-jar", compiler};
    } else {
      request.program = compiler;
    }
    // --lower-case: mkgmap would otherwise store every label in capitals.
    for (const std::string& arg :
         {"--output-dir=" + workFolder, "--mapname=" + mkgmapMapName(mapNumber), std::string("--no-tdbfile"),
          std::string("--code-page=1252"), std::string("--lower-case"), std::string("pv.mp")})
      request.arguments.push_back(arg);
    return request;
  }
  std::string mapSource = workFolder + "/pv.mp";
  if (runsThroughWine(compiler)) {
    // A Windows cgpsmapper reads the map source by its Windows path.
    request.program = "wine";
    if (!winePrefix.empty()) {
      request.environment.emplace_back("WINEPREFIX", winePrefix);
      mapSource = wineWindowsPath(mapSource, winePrefix).value_or(mapSource);
    }
    request.arguments = {compiler, mapSource};
    return request;
  }
  request.program = compiler;
  request.arguments = {withLocalSeparators(mapSource)};
  return request;
}

std::string basemapBackupName(const std::string& target) {
  return (endsWithNoCase(target, ".img") ? target.substr(0, target.size() - 4) : target) + "_bak.img";
}

std::string replaceBasemapQuestion(const std::string& target) { return "File exists\r\nReplace " + target + "?"; }

std::string useMkgmapQuestion(const std::string& mkgmap) {
  return "No map compiler is set. Use mkgmap (" + mkgmap + ")?";
}

BasemapOutcome create_basemap(BasemapJob& job, BasemapServices& services) { return Run(job, services).go(); }

}  // namespace velmor
