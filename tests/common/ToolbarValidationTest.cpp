#include "common/ControlTarget.h"
#include "common/VerticallyCenteredTextFieldCell.h"
#include "common/WBQValidatedViewToolbar.h"
#include "common/WBQValidatedViewToolbarItem.h"

#include <QAbstractEventDispatcher>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QStandardItemModel>
#include <QToolButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ValidatingTarget : public QObject {
    Q_OBJECT

public:
    bool allow = true;
    int exports = 0;
    QList<QAction*> askedAbout;

    Q_INVOKABLE bool validateToolbarItem(QAction* item)
    {
        askedAbout.append(item);
        return allow;
    }

public slots:
    void Export() { ++exports; }
};

class PlainTarget : public QObject {
    Q_OBJECT

public slots:
    void Export() {}
};

// An item whose view is a button sending "Export" to the target.
std::unique_ptr<WBQValidatedViewToolbarItem> ItemFor(QObject* target, const QByteArray& action = "Export")
{
    auto item = std::make_unique<WBQValidatedViewToolbarItem>();
    auto* button = new QToolButton;
    ControlTarget::setTargetAndAction(button, target, action);
    item->setView(button);
    return item;
}

TEST(WBQValidatedViewToolbarItem, FollowsTheAnswerOfTheControlsTarget)
{
    ValidatingTarget target;
    const auto item = ItemFor(&target);
    target.allow = false;
    item->validate();
    EXPECT_FALSE(item->isEnabled());
    EXPECT_FALSE(item->view()->isEnabled());
    EXPECT_EQ(target.askedAbout, QList<QAction*> {item.get()});

    target.allow = true;
    item->validate();
    EXPECT_TRUE(item->isEnabled());
    EXPECT_TRUE(item->view()->isEnabled());
}

TEST(WBQValidatedViewToolbarItem, IsEnabledByATargetThatOnlyHandlesTheAction)
{
    PlainTarget target;
    const auto item = ItemFor(&target);
    item->setEnabled(false);
    item->view()->setEnabled(false);
    item->validate();
    EXPECT_TRUE(item->isEnabled());
    EXPECT_TRUE(item->view()->isEnabled());
}

TEST(WBQValidatedViewToolbarItem, IsLeftAloneWithoutATargetForItsAction)
{
    ValidatingTarget target;
    target.allow = false;
    const auto unhandled = ItemFor(&target, "Print");
    unhandled->validate();
    EXPECT_TRUE(unhandled->isEnabled());
    EXPECT_TRUE(target.askedAbout.isEmpty());

    WBQValidatedViewToolbarItem imageItem;
    imageItem.setView(new QLabel("image"));
    imageItem.setEnabled(false);
    imageItem.validate();
    EXPECT_FALSE(imageItem.isEnabled());

    auto gone = std::make_unique<ValidatingTarget>();
    const auto orphan = ItemFor(gone.get());
    gone.reset();
    orphan->validate();
    EXPECT_TRUE(orphan->isEnabled());
    EXPECT_EQ(ControlTarget::target(orphan->view()), nullptr);
}

TEST(ControlTarget, AClickSendsTheActionToTheTarget)
{
    ValidatingTarget target;
    QToolButton button;
    ControlTarget::setTargetAndAction(&button, &target, "Export");
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(target.exports, 1);

    ValidatingTarget other;
    ControlTarget::setTargetAndAction(&button, &other, "Export");
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(target.exports, 1);
    EXPECT_EQ(other.exports, 1);
}

TEST(WBQValidatedViewToolbar, ValidatesVisibleItemsWhenTheEventLoopRunsDry)
{
    ValidatingTarget target;
    target.allow = false;
    WBQValidatedViewToolbar toolbar;
    auto* shown = ItemFor(&target).release();
    auto* hidden = ItemFor(&target).release();
    shown->setParent(&toolbar);
    hidden->setParent(&toolbar);
    hidden->setVisible(false);
    QAction* plain = toolbar.addAction("Plain");
    toolbar.addAction(shown);
    toolbar.addAction(hidden);

    emit QAbstractEventDispatcher::instance()->aboutToBlock();

    EXPECT_FALSE(shown->isEnabled());
    EXPECT_FALSE(toolbar.widgetForAction(shown)->isEnabled());
    EXPECT_EQ(target.askedAbout, QList<QAction*> {shown}); // not the hidden item
    EXPECT_TRUE(plain->isEnabled());

    target.allow = true;
    toolbar.validateVisibleItems();
    EXPECT_TRUE(shown->isEnabled());
}

TEST(VerticallyCenteredTextFieldCell, CentresTheBandAndNeverLeavesTheFrame)
{
    EXPECT_EQ(VerticallyCenteredTextFieldCell::centredInteriorRect(QRect(5, 10, 100, 40), 20), QRect(5, 20, 100, 20));
    EXPECT_EQ(VerticallyCenteredTextFieldCell::centredInteriorRect(QRect(5, 10, 100, 40), 60), QRect(5, 10, 100, 40));
}

// Rows of the image that hold anything but the white background.
std::pair<int, int> InkedRows(const QImage& image)
{
    int first = -1, last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                first = first < 0 ? y : first;
                last = y;
                break;
            }
    return {first, last};
}

std::pair<int, int> PaintedRows(const QString& text, const QRect& frame)
{
    QStandardItemModel model(1, 1);
    model.setData(model.index(0, 0), text);
    model.setData(model.index(0, 0), int(Qt::AlignLeft | Qt::AlignTop), Qt::TextAlignmentRole);
    QImage image(120, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        VerticallyCenteredTextFieldCell cell;
        QStyleOptionViewItem option;
        option.rect = frame;
        option.palette.setColor(QPalette::Text, Qt::black);
        option.state = QStyle::State_Enabled;
        cell.paint(&painter, option, model.index(0, 0));
    }
    return InkedRows(image);
}

TEST(VerticallyCenteredTextFieldCell, DrawsTopAlignedTextInTheMiddleOfItsCell)
{
    const auto [first, last] = PaintedRows("Wg", QRect(0, 0, 120, 200));
    ASSERT_GE(first, 0);
    EXPECT_NEAR((first + last) / 2.0, 100.0, 8.0);
}

TEST(VerticallyCenteredTextFieldCell, DrawsTallTextOnlyInsideItsCell)
{
    const auto [first, last] = PaintedRows("one\ntwo\nthree\nfour\nfive\nsix", QRect(0, 90, 120, 20));
    ASSERT_GE(first, 0);
    EXPECT_GE(first, 90);
    EXPECT_LT(last, 110);
}

} // namespace

#include "ToolbarValidationTest.moc"
