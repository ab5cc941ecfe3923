#pragma once
// A fresh temporary folder with an empty data/ inside, made the current directory for the
// object's lifetime, so that code using the game's relative paths (data/hi.sav) touches
// nothing real. The previous current directory is restored and the folder removed after.
#include <string>
#include <vector>

class CScratchFolder {
public:
    CScratchFolder();
    ~CScratchFolder();
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    const std::string& Path() const { return m_path; }
    // Whole contents of a file relative to the folder; empty when it cannot be read.
    static std::vector<unsigned char> Read(const char* file);
    static void Write(const char* file, const std::vector<unsigned char>& bytes);
    // Names in data/, sorted.
    static std::vector<std::string> DataEntries();

private:
    std::string m_previous;
    std::string m_path;
};
