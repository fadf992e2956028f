#pragma once
// Points QUORVEL_REGISTRY at a registry file of the test's own for the lifetime
// of the object, so tests never touch the build tree's registry.

#include "tests/component/temp_folder.h"

#include <cstdlib>
#include <string>

class TestRegistry {
public:
    TestRegistry() {
        const char* saved = std::getenv("QUORVEL_REGISTRY");
        hadSaved_ = saved != nullptr;
        if (hadSaved_)
            saved_ = saved;
        ::setenv("QUORVEL_REGISTRY", file_.c_str(), 1);
    }
    ~TestRegistry() {
        if (hadSaved_)
            ::setenv("QUORVEL_REGISTRY", saved_.c_str(), 1);
        else
            ::unsetenv("QUORVEL_REGISTRY");
    }
    TestRegistry(const TestRegistry&) = delete;
    TestRegistry& operator=(const TestRegistry&) = delete;

    const std::string& File() const { return file_; }
    const TempFolder& Folder() const { return folder_; }

private:
    TempFolder folder_;
    std::string file_ = folder_.File("registry.reg");
    bool hadSaved_ = false;
    std::string saved_;
};
