// The stream the GDI+ decoder reads module resources through.

#include <gtest/gtest.h>

#include "win32/ResourceStream.h"

namespace {

using Toolkit::ResourceStream;

LARGE_INTEGER distance(LONGLONG value) {
    LARGE_INTEGER result;
    result.QuadPart = value;
    return result;
}

class ResourceStreamTest : public testing::Test {
protected:
    void SetUp() override { stream = new ResourceStream(bytes, sizeof bytes); }
    void TearDown() override { stream->Release(); }

    ULONGLONG position() {
        ULARGE_INTEGER at{};
        stream->Seek(distance(0), STREAM_SEEK_CUR, &at);
        return at.QuadPart;
    }

    const char bytes[8] = {'K', 'o', 'r', 'v', 'e', 'l', '1', '0'};
    ResourceStream* stream = nullptr;
};

TEST_F(ResourceStreamTest, ReadsWholeRequestsOnlyAndAdvances) {
    char buffer[8] = {};
    ULONG read = 99;
    EXPECT_EQ(stream->Read(buffer, 6, &read), S_OK);
    EXPECT_EQ(read, 6u);
    EXPECT_EQ(std::string(buffer, 6), "Korvel");
    EXPECT_EQ(stream->Read(buffer, 3, &read), S_FALSE) << "only two bytes are left";
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(stream->Read(buffer, 2, &read), S_OK);
    EXPECT_EQ(std::string(buffer, 2), "10");
}

TEST_F(ResourceStreamTest, SeeksInsideTheBytesOnly) {
    EXPECT_EQ(stream->Seek(distance(5), STREAM_SEEK_SET, nullptr), S_OK);
    EXPECT_EQ(position(), 5u);
    EXPECT_EQ(stream->Seek(distance(-2), STREAM_SEEK_CUR, nullptr), S_OK);
    EXPECT_EQ(position(), 3u);
    EXPECT_EQ(stream->Seek(distance(8), STREAM_SEEK_SET, nullptr), S_FALSE);
    EXPECT_EQ(stream->Seek(distance(-4), STREAM_SEEK_CUR, nullptr), S_FALSE);
    EXPECT_EQ(stream->Seek(distance(-1), STREAM_SEEK_END, nullptr), S_FALSE);
    EXPECT_EQ(stream->Seek(distance(0), 7, nullptr), STG_E_INVALIDFUNCTION);
    EXPECT_EQ(position(), 3u);
    EXPECT_EQ(stream->Revert(), S_OK);
    EXPECT_EQ(position(), 0u);
}

TEST_F(ResourceStreamTest, AnswersItsInterfacesAndItsSize) {
    IStream* asStream = nullptr;
    ASSERT_EQ(stream->QueryInterface(IID_IStream, reinterpret_cast<void**>(&asStream)), S_OK);
    EXPECT_EQ(asStream, stream);
    asStream->Release();
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(stream->QueryInterface(IID_IPersist, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);

    STATSTG stat;
    EXPECT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, 8u);
    EXPECT_EQ(stream->Write(bytes, 1, nullptr), E_NOTIMPL);
    EXPECT_EQ(stream->Clone(&asStream), E_NOTIMPL);
}

}  // namespace
