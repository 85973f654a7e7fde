#pragma once

#include <string>

// An average data file: the line "Average data", then one line "block,value"
// per block the camera answered, every line ending in CR LF.
//
// The file grows block by block, and each step is written whole (see
// SafeFile): whatever happens next — a camera that stops answering, a full
// disk, the program killed — the file on disk holds the header and every
// block read before, and never half a line.
class AverageDataFile {
public:
    static constexpr const char* kHeader = "Average data";

    explicit AverageDataFile(std::string path);

    // Writes the header alone, replacing any old file; false when it could not be written.
    bool Start();
    // Adds one block's line; false (the file as it was) when it could not be written.
    bool Add(int block, int value);

private:
    std::string m_path;
    std::string m_content;
};
