#include "basemap.hpp"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "../common/prompter.hpp"
#include "../platform/file_services.hpp"
#include "../platform/wine_prefix.hpp"
#include "../product/bytes.hpp"
#include "../product/number_text.hpp"

namespace velmor {

namespace fs = std::filesystem;

namespace {

// A basemap is a few megabytes; the limit only keeps a runaway compiler
// from filling the memory.
constexpr std::uint64_t kBasemapLimit = 1000ull * 1024 * 1024;
constexpr std::uint32_t kLargestMkgmapName = 99999999;

fs::path utf8Path(const std::string& path) { return fs::path(std::u8string(path.begin(), path.end())); }

std::string fileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool endsWithNoCase(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && toLowerAscii(text.substr(text.size() - end.size())) == end;
}

bool isFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(utf8Path(path), ec);
}

// Removes a file left by an earlier run; false with the text when it stays.
bool removeStale(const std::string& path, Prompter& prompter) {
  std::error_code ec;
  fs::remove(utf8Path(path), ec);
  if (!ec) return true;
  prompter.message("Cannot remove " + path + ": " + ec.message());
  return false;
}

class Run {
 public:
  Run(BasemapJob& job, BasemapServices& services)
      : job_(job), s_(services), mapSource_(job.systemFolder + "/pv.mp"), compiled_(job.systemFolder + "/pv.img") {}

  BasemapOutcome go() {
    if (job_.source.tiles.empty()) {
      s_.prompter.message(kNoPreviewData);
      return outcome_;
    }
    offerMkgmap();
    const CompilerKind kind = compilerKind(job_.compilerPath);
    // mkgmap reads the labels right as UTF-8 under the header as it stands;
    // cgpsmapper reads them in the product's code page.
    const LabelEncoding encoding = kind == CompilerKind::Mkgmap ? LabelEncoding::Utf8 : LabelEncoding::CodePage;
    // A map source that could not be written is never compiled: an older
    // one may still lie there.
    if (writePreviewMapSource(job_.source, mapSource_, encoding, s_.prompter, s_.files, s_.errorText) !=
        PreviewWrite::Written)
      return outcome_;
    if (!removeStale(compiled_, s_.prompter)) return outcome_;
    const std::string compiler(trimBlanks(job_.compilerPath));
    if (compiler.size() <= 4 || !isFile(compiler)) {
      s_.prompter.message(cannotLocateCompilerText(compiler));
      return outcome_;
    }
    std::string refusal;
    const std::uint32_t mapNumber = overviewMapNumber(job_.source, refusal).value_or(0);
    if (!compile(kind, mapNumber)) return finish();
    if (!isFile(compiled_)) {
      s_.prompter.message(kNotSuccessful);
      outcome_.status = BasemapStatus::NotSuccessful;
      return finish();
    }
    if (!replaceTarget()) return outcome_;
    return finish();
  }

 private:
  void offerMkgmap() {
    if (!trimBlanks(job_.compilerPath).empty() || !s_.findMkgmap) return;
    const std::string mkgmap = s_.findMkgmap();
    if (mkgmap.empty()) return;
    if (s_.prompter.ask(useMkgmapQuestion(mkgmap), Buttons::YesNo) != Answer::Yes) return;
    job_.compilerPath = mkgmap;
    outcome_.compilerChosen = true;
  }

  bool compile(CompilerKind kind, std::uint32_t mapNumber) {
    const std::string outputDir = job_.systemFolder + "/mkgmap";
    std::string output;
    if (kind == CompilerKind::Mkgmap) {
      if (mapNumber > kLargestMkgmapName) {
        s_.prompter.message("mkgmap names a map with 8 digits: the overview map number " + std::to_string(mapNumber) +
                            " has more. Choose a smaller Overview Number.");
        return false;
      }
      std::error_code ec;
      fs::create_directories(utf8Path(outputDir), ec);
      output = outputDir + "/" + mkgmapMapName(mapNumber) + ".img";
      if (!removeStale(output, s_.prompter)) return false;
    }
    if (s_.compilerRunning) s_.compilerRunning(true);
    const ProcessEnd end = runAndWait(s_.processes, compilerRequest(job_, mapNumber, outputDir), s_.betweenPolls);
    if (s_.compilerRunning) s_.compilerRunning(false);
    if (!end.started()) {
      s_.prompter.message("Cannot start the map compiler " + job_.compilerPath + ": " + end.error);
      return false;
    }
    if (!end.exited) {
      s_.prompter.message("The map compiler " + job_.compilerPath + " ended abnormally" +
                          (end.signal ? " (signal " + std::to_string(end.signal) + ")." : "."));
      return false;
    }
    if (kind == CompilerKind::Mkgmap && isFile(output)) {
      std::error_code ec;
      fs::rename(utf8Path(output), utf8Path(compiled_), ec);
      if (ec) {
        s_.prompter.message("Cannot move " + output + " to " + compiled_ + ": " + ec.message());
        return false;
      }
    }
    return true;
  }

  // The compiled map onto the target: asked first when it exists, with a
  // backup made once; in one atomic step.
  bool replaceTarget() {
    const std::string& target = job_.target;
    if (s_.files.exists(target)) {
      if (s_.prompter.ask(replaceBasemapQuestion(target), Buttons::YesNoCancel) != Answer::Yes) return false;
      if (std::optional<WriteRefusal> refusal = s_.files.checkWritable(target)) {
        s_.prompter.message(target + " " + refusal->text);
        return finishFalse();
      }
      if (s_.files.heldOpen(target)) {
        s_.prompter.message(kCloseMapsource);
        return finishFalse();
      }
      const std::string backup = basemapBackupName(target);
      std::string error;
      switch (s_.files.createBackup(target, backup, error)) {
        case BackupResult::Created:
          s_.prompter.message("Backup:" + backup + " created");
          break;
        case BackupResult::Existed:
          break;
        case BackupResult::Failed:
          s_.prompter.message("Cannot make the backup " + backup + ": " + error);
          return finishFalse();
      }
    }
    FileRead map = s_.files.readFile(compiled_, kBasemapLimit, OverLimit::Refuse);
    if (!map) {
      s_.prompter.message("Cannot read " + compiled_ + ": " + map.error);
      return finishFalse();
    }
    if (std::optional<std::string> error = s_.files.atomicReplace(target, map.bytes)) {
      s_.prompter.message(s_.files.heldOpen(target) ? std::string(kCloseMapsource) : target + " " + *error);
      return finishFalse();
    }
    s_.prompter.message(kNewBasemapCreated);
    outcome_.status = BasemapStatus::Created;
    return true;
  }

  // A failure past the compiler run ends the command with pv.mp removed.
  bool finishFalse() {
    finish();
    return false;
  }

  BasemapOutcome finish() {
    std::error_code ec;
    fs::remove(utf8Path(mapSource_), ec);
    return outcome_;
  }

  BasemapJob& job_;
  BasemapServices& s_;
  const std::string mapSource_;
  const std::string compiled_;
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

std::string mkgmapMapName(std::uint32_t mapNumber) {
  char name[16];
  std::snprintf(name, sizeof name, "%08u", static_cast<unsigned>(mapNumber));
  return name;
}

ProcessRequest compilerRequest(const BasemapJob& job, std::uint32_t mapNumber, const std::string& outputDir) {
  const std::string compiler(trimBlanks(job.compilerPath));
  ProcessRequest request;
  request.workingFolder = job.systemFolder;
  if (compilerKind(compiler) == CompilerKind::Mkgmap) {
    if (endsWithNoCase(compiler, ".jar")) {
      request.program = "java";
      request.arguments = {"-jar", compiler};
    } else {
      request.program = compiler;
    }
    for (const std::string& arg : {"--output-dir=" + outputDir, "--mapname=" + mkgmapMapName(mapNumber),
                                   std::string("--no-tdbfile"), std::string("--code-page=1252"), std::string("pv.mp")})
      request.arguments.push_back(arg);
    return request;
  }
  std::string mapSource = job.systemFolder + "/pv.mp";
#ifndef _WIN32
  if (endsWithNoCase(compiler, ".exe")) {
    // A Windows cgpsmapper reads the map source by its Windows path.
    request.program = "wine";
    if (!job.winePrefix.empty()) {
      request.environment.emplace_back("WINEPREFIX", job.winePrefix);
      mapSource = WinePrefix(job.winePrefix).windowsPath(mapSource).value_or(mapSource);
    }
    request.arguments = {compiler, mapSource};
    return request;
  }
#else
  for (char& c : mapSource)
    if (c == '/') c = '\\';
#endif
  request.program = compiler;
  request.arguments = {mapSource};
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
