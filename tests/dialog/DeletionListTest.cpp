#include "DialogFixture.h"

class DeletionListTest : public DialogTest {
protected:
    void SetUp() override
    {
        addFields(app.document->addMap().addFeatureLayer(u"roads"), {u"A", u"B", u"C"});
        form.load();
    }
    QStringList available() const { return items(form.lstAvailableFields); }
    QStringList selected() const { return items(form.lstSelectedFields); }
    void expectNoSelection() const
    {
        for (const QListWidget* l : {form.lstAvailableFields.data(), form.lstSelectedFields.data()}) {
            EXPECT_EQ(l->currentRow(), -1);
            EXPECT_TRUE(l->selectedItems().isEmpty());
        }
    }
};

TEST_F(DeletionListTest, MovingOneNeedsASelection)
{
    form.cmdAdd_Click();
    form.cmdRemove_Click();
    EXPECT_EQ(available(), QStringList({"A", "B", "C"}));
    EXPECT_TRUE(selected().isEmpty());
}

TEST_F(DeletionListTest, MovingOneTakesTheSelectedEntryToTheEndAndLeavesNoSelection)
{
    select(form.lstAvailableFields, QStringLiteral("B"));
    form.cmdAdd_Click();
    EXPECT_EQ(available(), QStringList({"A", "C"}));
    EXPECT_EQ(selected(), QStringList({"B"}));
    expectNoSelection();

    select(form.lstAvailableFields, QStringLiteral("A"));
    form.cmdAdd_Click();
    select(form.lstSelectedFields, QStringLiteral("B"));
    form.cmdRemove_Click();
    EXPECT_EQ(available(), QStringList({"C", "B"}));
    EXPECT_EQ(selected(), QStringList({"A"}));
    expectNoSelection();
}

TEST_F(DeletionListTest, MovingAllAppendsInSourceOrder)
{
    select(form.lstAvailableFields, QStringLiteral("C"));
    form.cmdAdd_Click();
    form.cmdAddall_Click();
    EXPECT_TRUE(available().isEmpty());
    EXPECT_EQ(selected(), QStringList({"C", "A", "B"}));

    form.cmdAddall_Click(); // an empty source changes nothing
    EXPECT_EQ(selected(), QStringList({"C", "A", "B"}));

    form.cmdRemoveAll_Click();
    EXPECT_EQ(available(), QStringList({"C", "A", "B"}));
    EXPECT_TRUE(selected().isEmpty());
    form.cmdRemoveAll_Click();
    EXPECT_EQ(available(), QStringList({"C", "A", "B"}));
}
