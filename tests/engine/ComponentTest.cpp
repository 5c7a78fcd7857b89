#include "engine/Component.h"

#include <gtest/gtest.h>

namespace {

int gDestroyed = 0;

class TProbe : public TComponent {
public:
    explicit TProbe(TComponent* AOwner, std::vector<std::string>* ALog = nullptr, std::string AName = {})
        : TComponent(AOwner), FLog(ALog)
    {
        SetName(std::move(AName));
    }
    ~TProbe() override
    {
        ++gDestroyed;
        if (FLog)
            FLog->push_back(Name());
    }
    const char* ClassName() const override { return "TProbe"; }

private:
    std::vector<std::string>* FLog;
};

class TDerivedProbe : public TProbe {
public:
    using TProbe::TProbe;
    const char* ClassName() const override { return "TDerivedProbe"; }
};

}  // namespace

TEST(ComponentTest, OwnerFreesItsComponentsNewestFirst)
{
    std::vector<std::string> log;
    {
        TProbe owner(nullptr, &log, "owner");
        new TProbe(&owner, &log, "a");
        new TProbe(&owner, &log, "b");
        EXPECT_EQ(owner.ComponentCount(), 2);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"owner", "b", "a"}));
}

TEST(ComponentTest, FreeingAComponentRemovesItFromItsOwner)
{
    TProbe owner(nullptr);
    auto* a = new TProbe(&owner);
    new TProbe(&owner);
    delete a;
    ASSERT_EQ(owner.ComponentCount(), 1);
    EXPECT_NE(owner.Components(0), a);
}

TEST(ComponentTest, ClassNameIsTheExactClass)
{
    TProbe owner(nullptr);
    TComponent* plain = new TProbe(&owner);
    TComponent* derived = new TDerivedProbe(&owner);
    EXPECT_STREQ(plain->ClassName(), "TProbe");
    EXPECT_STREQ(derived->ClassName(), "TDerivedProbe");
}
