#pragma once
// Runs a shell command for the tests (ImageMagick, Python writers) without
// fork(): forking a sanitized test program copies its huge shadow mappings
// and costs a quarter second per call; posix_spawn does not.
#include <spawn.h>
#include <string>
#include <sys/wait.h>

extern char** environ;

namespace testsupport {

// True when the command exits with 0. Its output goes to /dev/null.
inline bool runQuiet(const std::string& command) {
    const std::string line = command + " >/dev/null 2>&1";
    char* argv[] = {const_cast<char*>("/bin/sh"), const_cast<char*>("-c"),
                    const_cast<char*>(line.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv, environ) != 0) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace testsupport
