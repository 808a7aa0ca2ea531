#include "foundation/document_base.h"

#include <gtest/gtest.h>

namespace {

class Doc : public QORDocument_c {
public:
    std::unique_ptr<QORObject_c> Create() const override { return std::make_unique<Doc>(); }
    std::int32_t Load(QORBuffer_c*) override { return 0; }
    std::int32_t Save(QORBuffer_c*) override { return 0; }
};

TEST(DocumentBase, NamesAndModifiedBit) {
    Doc d;
    EXPECT_EQ(d.IsModified(), 253);
    d.SetFlags(QORDocument_c::kModified);
    EXPECT_EQ(d.IsModified(), 3);

    QORString_c name;
    name.Assign("show", -1, 253);
    EXPECT_EQ(d.SetShortName(&name), 2);
    EXPECT_EQ(d.ShortName()->View(), "show");
    QORString_c empty;
    EXPECT_EQ(d.SetShortName(&empty), 254);
    EXPECT_EQ(d.ShortName()->View(), "") << "an empty text removes the short name";
    EXPECT_EQ(d.SetShortName(nullptr), 254);

    name.Assign("Reelvox", -1, 253);
    EXPECT_EQ(d.SetTypeName(&name), 2);
    EXPECT_EQ(d.TypeName()->View(), "Reelvox");
    EXPECT_EQ(d.SetTypeName(nullptr), 254);
    EXPECT_EQ(d.TypeName()->View(), "");
}

TEST(DocumentBase, CopyTakesFlagsAndTypeNameButNotTheShortName) {
    Doc source;
    Doc target;
    QORString_c text;
    text.Assign("kind", -1, 253);
    target.SetTypeName(&text);
    text.Assign("mine", -1, 253);
    target.SetShortName(&text);
    source.SetFlags(QORDocument_c::kModified);
    source.SetTag(4);
    EXPECT_EQ(source.CopyTo(&target), 254) << "a source without a type name";
    EXPECT_EQ(target.TypeName()->View(), "");
    EXPECT_EQ(target.IsModified(), 3);
    EXPECT_EQ(target.Tag(), 4);

    text.Assign("config", -1, 253);
    source.SetTypeName(&text);
    EXPECT_EQ(source.CopyTo(&target), 2);
    EXPECT_EQ(target.TypeName()->View(), "config");
    EXPECT_EQ(target.ShortName()->View(), "mine");
    QORObject_c plain;
    EXPECT_EQ(source.CopyTo(&plain), 254);
}

} // namespace
