#include "foundation/file.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(File, NeverOpenedFileRefusesReadAndWrite) {
    char bytes[4] = {'a', 'b', 'c', 'd'};
    for (std::int32_t length : {-1, 0, 1, 4}) {
        QORFile_c file;
        EXPECT_EQ(file.Read(bytes, length), -2);
        EXPECT_EQ(file.Write(bytes, length), -2);
        EXPECT_EQ(file.Transferred(), -2);
    }
    QORFile_c file;
    QORWriter_c* writer = &file;
    EXPECT_EQ(QORWriter_c::WriteText(writer, "log line"), -2);
    EXPECT_EQ(file.Mode(), 0);
    EXPECT_EQ(file.Path().Length(), 0);
}

// A file handed on as a reader or as a writer is deleted through that face: the whole object
// must go, its own destructor included.
TEST(File, DeletingThroughEitherFaceRunsTheWholeDestructor) {
    struct CountedFile : QORFile_c {
        explicit CountedFile(int& count) : destroyed(count) {}
        ~CountedFile() override { ++destroyed; }
        int& destroyed;
    };
    int destroyed = 0;
    std::unique_ptr<QORReader_c> reader = std::make_unique<CountedFile>(destroyed);
    reader.reset();
    EXPECT_EQ(destroyed, 1);
    std::unique_ptr<QORWriter_c> writer = std::make_unique<CountedFile>(destroyed);
    writer.reset();
    EXPECT_EQ(destroyed, 2);
}

} // namespace
