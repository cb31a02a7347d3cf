#include "files/game_locations.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

#include "files/game_files.h"

namespace {

GameLocations& current()
{
    static GameLocations locations;
    return locations;
}

bool isFolder(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool isFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// An XDG variable counts only when it holds an absolute path.
std::string xdgFolder(const LocationFacts& facts, const char* variable, const char* underHome)
{
    const char* value = facts.getEnv ? facts.getEnv(variable) : nullptr;
    if (value && value[0] == '/') return std::string(value) + "/klotzar";
    const char* home = facts.getEnv ? facts.getEnv("HOME") : nullptr;
    return std::string(home && home[0] ? home : "") + "/" + underHome + "/klotzar";
}

// CHANGE: [unwritable-folder-said] said once per folder
// Says once per folder where the game could not write.
void reportUnwritable(const std::string& folder, int error)
{
    static std::set<std::string> reported;
    if (!reported.insert(folder).second) return;
    std::fprintf(stderr, "klotzar: cannot write in %s (%s); the game plays on without saving there.\n", folder.c_str(),
                 std::strerror(error));
}

// Creates folder and every missing parent with mode 0700. 0 or an errno.
int makeFolders(const std::string& folder)
{
    if (isFolder(folder)) return 0;
    const size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        const int parent = makeFolders(folder.substr(0, slash));
        if (parent != 0) return parent;
    }
    if (::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST) return isFolder(folder) ? 0 : ENOTDIR;
    return errno;
}

// The per-user folder, made if needed; reported once when unusable.
void preparePlayerFolder(const std::string& folder)
{
    int error = makeFolders(folder);
    if (error == 0 && ::access(folder.c_str(), W_OK) != 0) error = errno;
    if (error != 0) reportUnwritable(folder, error);
}

// The player's settings start as the shipped defaults.
void seedSettings(const std::string& playerFile, const std::string& shippedFile)
{
    if (::access(playerFile.c_str(), F_OK) == 0) return;
    // A settings file is a few lines; the settings reader takes no more either.
    constexpr size_t kMostSettingsBytes = 1 << 20;
    std::string defaults;
    if (ReadGameFile(shippedFile, kMostSettingsBytes, defaults) != FileRead::Ok) return;
    if (!ReplaceFileAtomically(playerFile, defaults)) {
        const int error = errno;
        reportUnwritable(playerFile.substr(0, playerFile.find_last_of('/')), error);
    }
}

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// CHANGE: [files-beside-binary] beside the binary, or the player's XDG folders
// The files the game writes for the player.
bool isPlayerFile(const std::string& key)
{
    return key == "data/ini.ini" || key == "data/highscore.zip" || key == "log.txt" || key == "data/name.txt" ||
           startsWith(key, "replays/");
}

std::string installedPath(const GameLocations& at, const std::string& name)
{
    const std::string key = lowered(name);
    if (key == "data/ini.ini") {
        preparePlayerFolder(at.configFolder);
        const std::string file = at.configFolder + "/ini.ini";
        seedSettings(file, at.dataFolder + "/" + name);
        return file;
    }
    if (key == "data/name.txt" || key == "gamecontrollerdb.txt") {
        preparePlayerFolder(at.configFolder);
        return at.configFolder + "/" + name.substr(name.find_last_of('/') + 1);
    }
    if (key == "data/highscore.zip") {
        preparePlayerFolder(at.playerDataFolder);
        return at.playerDataFolder + "/Highscore.zip";
    }
    if (key == "log.txt") {
        preparePlayerFolder(at.stateFolder);
        return at.stateFolder + "/log.txt";
    }
    if (startsWith(key, "replays/")) {
        preparePlayerFolder(at.playerDataFolder + "/Replays");
        return at.playerDataFolder + "/Replays/" + name.substr(8);
    }
    // A player's own level file takes the place of the shipped one.
    if (key.size() > 4 && key.compare(key.size() - 4, 4, ".dat") == 0 && key.find('/') == std::string::npos) {
        const std::string own = at.playerDataFolder + "/" + name;
        if (isFile(own)) return own;
    }
    // Everything else is shipped, laid out as beside a portable binary.
    return at.dataFolder + "/" + name;
}

}  // namespace

GameLocations ChooseGameLocations(const LocationFacts& facts)
{
    GameLocations at;
    if (!facts.programFolder.empty() && isFolder(facts.programFolder + "/Data")) {
        at.portableFolder = facts.programFolder;
        return at;
    }
    at.installed = true;
    const std::string relative = facts.programFolder + "/" + facts.dataFolderFromProgram;
    at.dataFolder = !facts.programFolder.empty() && isFolder(relative) ? relative : facts.configuredDataFolder;
    at.configFolder = xdgFolder(facts, "XDG_CONFIG_HOME", ".config");
    at.playerDataFolder = xdgFolder(facts, "XDG_DATA_HOME", ".local/share");
    at.stateFolder = xdgFolder(facts, "XDG_STATE_HOME", ".local/state");
    return at;
}

LocationFacts ThisProgramFacts(const std::string& dataFolderFromProgram, const std::string& configuredDataFolder)
{
    LocationFacts facts;
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n > 0) {
        const std::string program(buffer, static_cast<size_t>(n));
        facts.programFolder = program.substr(0, program.find_last_of('/'));
    }
    facts.dataFolderFromProgram = dataFolderFromProgram;
    facts.configuredDataFolder = configuredDataFolder;
    facts.getEnv = [](const char* name) { return static_cast<const char*>(std::getenv(name)); };
    return facts;
}

void UseGameLocations(const GameLocations& locations)
{
    current() = locations;
}

const GameLocations& CurrentGameLocations()
{
    return current();
}

std::string LocateGameFile(const std::string& gamePath)
{
    std::string name = gamePath;
    std::replace(name.begin(), name.end(), '\\', '/');
    const GameLocations& at = current();
    if (at.installed) return installedPath(at, name);
    const std::string path = at.portableFolder.empty() ? name : at.portableFolder + "/" + name;
    const std::string key = lowered(name);
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    if (startsWith(key, "replays/")) {
        const int error = makeFolders(folder);
        if (error != 0) reportUnwritable(folder, error);
    }
    // A read-only copy still plays; the player learns that nothing is kept.
    if (isPlayerFile(key)) {
        const int error = !isFolder(folder) ? ENOENT : ::access(folder.c_str(), W_OK) == 0 ? 0 : errno;
        if (error != 0) reportUnwritable(folder, error);
    }
    return path;
}
