#include "reproducer/show_document.h"
#include "reproducer/show_resources.h"
#include "show_test_support.h"

#include "foundation/byte_buffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using show_test::Load;
using show_test::Modified;
using show_test::Save;

constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>";

TEST(ShowDocument, NewDocumentSavesTheDeclarationOnlyAndIsClean) {
    ShowDocument_c document;
    document.NodeChanged(nullptr);
    ASSERT_TRUE(Modified(document));
    EXPECT_EQ(Save(document), kDeclaration);
    EXPECT_FALSE(Modified(document));
}

TEST(ShowDocument, SavedTextLoadsAndSavesToTheSameText) {
    const std::string text = std::string(kDeclaration) +
                             "<reelvox ignore_errors=\"true\" ><info ><version >1.0</version>"
                             "</info><states ><state name=\"smpte\" eb=\"true\" /></states>"
                             "</reelvox>";
    ShowDocument_c document;
    ASSERT_GT(Load(document, text), 0);
    const std::string first = Save(document);
    ShowDocument_c again;
    ASSERT_GT(Load(again, first), 0);
    EXPECT_EQ(Save(again), first);
    EXPECT_NE(first.find("<state name=\"smpte\" eb=\"true\" />"), std::string::npos) << first;
}

TEST(ShowDocument, LoadingNormalisesTheText) {
    ShowDocument_c document;
    Load(document, "<?xml version=\"1.0\"?>\n<a x=\"1\">\n  text\n  <b/>\n</a>\n");
    EXPECT_EQ(Save(document), "<?xml version=\"1.0\" ?><a x=\"1\" ><b/>text</a>");
}

TEST(ShowDocument, ModifiedOnlyThroughCommittedChanges) {
    ShowDocument_c document;
    Load(document, std::string(kDeclaration) + "<r><item name=\"one\" /></r>");
    EXPECT_FALSE(Modified(document));

    ShowResources_c items;
    items.SetOwner(&document);
    ASSERT_EQ(items.Bind(show_test::TopElement(document)), QOR_OK);
    ShowResource_c* item = items.First();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->SetName("one"), QOR_OK);
    EXPECT_FALSE(Modified(document)) << "the same text is no change";
    EXPECT_EQ(item->SetName("two"), QOR_OK);
    EXPECT_TRUE(Modified(document));
    Save(document);
    EXPECT_FALSE(Modified(document));
}

TEST(ShowDocument, TextWithoutDeclarationLoadsButSavesNothing) {
    ShowDocument_c document;
    Load(document, "<a><b/></a>");
    EXPECT_NE(show_test::TopElement(document), nullptr);
    QORBuffer_c buffer;
    EXPECT_EQ(document.Save(&buffer), 0);
}

TEST(ShowDocument, DeclarationAttributesHiddenOnlyInANewTree) {
    ShowDocument_c document;
    auto versionFlags = [&] {
        ShowXML_c* version = ShowXML_c::FindAttribute(document.XMLRoot(), "version");
        return version != nullptr ? version->Flags() : 0xFF;
    };
    EXPECT_EQ(versionFlags() & QOR_XML_HIDDEN, QOR_XML_HIDDEN);
    Load(document, kDeclaration);
    EXPECT_EQ(versionFlags() & QOR_XML_HIDDEN, 0);
    document.New();
    EXPECT_EQ(versionFlags() & QOR_XML_HIDDEN, QOR_XML_HIDDEN);
    EXPECT_EQ(Save(document), kDeclaration);
}

TEST(ShowDocument, NewKeepsTheModifiedBit) {
    ShowDocument_c document;
    document.NodeChanged(nullptr);
    document.New();
    EXPECT_TRUE(Modified(document));
}

TEST(ShowDocument, OwningBufferIsResizedToTheText) {
    ShowDocument_c document;
    QORBuffer_c buffer;
    buffer.Resize(4096);
    const std::int32_t written = document.Save(&buffer);
    EXPECT_EQ(written, static_cast<std::int32_t>(std::strlen(kDeclaration)));
    EXPECT_EQ(buffer.Size(), written);
}

TEST(ShowDocument, BorrowedBufferTooSmallKeepsTheDocumentModified) {
    ShowDocument_c document;
    document.NodeChanged(nullptr);
    std::uint8_t storage[10] = {};
    QORBuffer_c buffer;
    buffer.Attach(storage, sizeof storage, QOR_BORROWS);
    EXPECT_EQ(document.Save(&buffer), 10);
    EXPECT_TRUE(Modified(document)) << "a cut text is not saved";
    buffer.Attach(nullptr, 0, QOR_BORROWS);

    std::uint8_t big[128] = {};
    QORBuffer_c enough;
    enough.Attach(big, sizeof big, QOR_BORROWS);
    EXPECT_EQ(document.Save(&enough), static_cast<std::int32_t>(std::strlen(kDeclaration)));
    EXPECT_FALSE(Modified(document));
    enough.Attach(nullptr, 0, QOR_BORROWS);
}

TEST(ShowDocument, SaveAndLoadRefuseNullBuffers) {
    ShowDocument_c document;
    document.NodeChanged(nullptr);
    EXPECT_EQ(document.Save(nullptr), QOR_COUNT_ERROR);
    EXPECT_TRUE(Modified(document));
    EXPECT_EQ(document.Load(nullptr), QOR_COUNT_ERROR);
}

TEST(ShowDocument, CopyToNeedsATypeNameAndCopiesTheTree) {
    ShowDocument_c source;
    Load(source, std::string(kDeclaration) + "<a><b>x</b></a>");
    ShowDocument_c target;
    EXPECT_EQ(source.CopyTo(&target), QOR_ERROR);
    QORString_c name;
    name.Assign("show");
    source.SetTypeName(&name);
    source.NodeChanged(nullptr);
    ShowDocument_c fresh;
    EXPECT_EQ(source.CopyTo(&fresh), QOR_OK);
    EXPECT_TRUE(Modified(fresh));
    EXPECT_EQ(Save(fresh), std::string(kDeclaration) + "<a><b>x</b></a>");
    EXPECT_EQ(source.CopyTo(nullptr), QOR_ERROR);
}

} // namespace
