#include "settings/TOrvButton3D.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

namespace {

QPixmap cor(QColor c, int largura, int altura)
{
    QPixmap p(largura, altura);
    p.fill(c);
    return p;
}

QColor corMostrada(const TOrvButton3D &botao)
{
    return botao.pixmap().toImage().pixelColor(0, 0);
}

class TOrvButton3DTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        janela.resize(200, 200);
        botao = new TOrvButton3D(&janela);
        botao->move(10, 10);
        botao->SetImagemPressionada(cor(Qt::red, 25, 25));
        botao->SetImagemSolta(cor(Qt::green, 30, 20));
        janela.show();
    }

    QWidget janela;
    TOrvButton3D *botao = nullptr;
};

}

TEST(TOrvButton3D, ACodeBuiltControlIsEmptyWithTheHandCursor)
{
    TOrvButton3D botao;
    EXPECT_EQ(botao.size(), QSize(100, 27));
    EXPECT_EQ(botao.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(botao.pixmap().isNull());
    EXPECT_EQ(botao.getDButtonStyle(), bsDropWhenPressed);
    EXPECT_FALSE(botao.getDPressed());
}

TEST_F(TOrvButton3DTest, SpringBackShowsThePressedPictureWhileHeldAndClicksAfterRelease)
{
    EXPECT_EQ(corMostrada(*botao), QColor(Qt::green));
    EXPECT_EQ(botao->size(), QSize(30, 20));
    QColor corNoClique;
    QSize tamanhoNoClique;
    int cliques = 0;
    QObject::connect(botao, &TOrvButton3D::clicked, [&] {
        ++cliques;
        corNoClique = corMostrada(*botao);
        tamanhoNoClique = botao->size();
    });
    QTest::mousePress(botao, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(botao->getDPressed());
    EXPECT_EQ(corMostrada(*botao), QColor(Qt::red));
    EXPECT_EQ(botao->size(), QSize(25, 25));       // grows and shrinks at its top-left corner
    EXPECT_EQ(botao->pos(), QPoint(10, 10));
    EXPECT_EQ(cliques, 0);
    QTest::mouseRelease(botao, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(botao->getDPressed());
    EXPECT_EQ(corMostrada(*botao), QColor(Qt::green));
    EXPECT_EQ(cliques, 1);
    EXPECT_EQ(corNoClique, QColor(Qt::green));
    EXPECT_EQ(tamanhoNoClique, QSize(30, 20));

    // Released outside the control: back to the released picture, but no click.
    QTest::mousePress(botao, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(botao, Qt::LeftButton, {}, QPoint(150, 150));
    EXPECT_EQ(corMostrada(*botao), QColor(Qt::green));
    EXPECT_EQ(cliques, 1);
}

TEST_F(TOrvButton3DTest, HoldStylePressesOnOneClickAndReleasesOnTheNext)
{
    botao->setDButtonStyle(bsHoldWhenPressed);
    QSignalSpy cliques(botao, &TOrvButton3D::clicked);
    QTest::mouseClick(botao, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(botao->getDPressed());
    EXPECT_EQ(corMostrada(*botao), QColor(Qt::red));
    QTest::mousePress(botao, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(botao->getDPressed());
    EXPECT_EQ(corMostrada(*botao), QColor(Qt::red));
    QTest::mouseRelease(botao, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(botao->getDPressed());
    EXPECT_EQ(corMostrada(*botao), QColor(Qt::green));
    EXPECT_EQ(cliques.count(), 2);
    // And the cycle starts over.
    QTest::mouseClick(botao, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(botao->getDPressed());
}

TEST_F(TOrvButton3DTest, OtherButtonsChangeNothingAndRaiseNoEvents)
{
    QSignalSpy baixo(botao, &TOrvButton3D::mouseDown);
    QSignalSpy cima(botao, &TOrvButton3D::mouseUp);
    QSignalSpy cliques(botao, &TOrvButton3D::clicked);
    for (TOrvButton3DStyle estilo : {bsDropWhenPressed, bsHoldWhenPressed}) {
        botao->setDButtonStyle(estilo);
        QTest::mouseClick(botao, Qt::RightButton, {}, QPoint(5, 5));
        QTest::mouseClick(botao, Qt::MiddleButton, {}, QPoint(5, 5));
        EXPECT_FALSE(botao->getDPressed());
        EXPECT_EQ(corMostrada(*botao), QColor(Qt::green));
    }
    EXPECT_EQ(baixo.count(), 0);
    EXPECT_EQ(cima.count(), 0);
    EXPECT_EQ(cliques.count(), 0);
    QTest::mouseClick(botao, Qt::LeftButton, Qt::ShiftModifier, QPoint(4, 6));
    ASSERT_EQ(baixo.count(), 1);
    EXPECT_EQ(baixo.at(0).at(2).toInt(), 4);
    EXPECT_EQ(baixo.at(0).at(3).toInt(), 6);
    EXPECT_EQ(cima.count(), 1);
}

TEST_F(TOrvButton3DTest, ANewReleasedPictureShowsAtOnceEvenWhilePressed)
{
    botao->SetPressed(true);
    EXPECT_EQ(corMostrada(*botao), QColor(Qt::red));
    botao->SetImagemSolta(cor(Qt::blue, 40, 10));
    EXPECT_TRUE(botao->getDPressed());
    EXPECT_EQ(corMostrada(*botao), QColor(Qt::blue));
    EXPECT_EQ(botao->size(), QSize(40, 10));
    // The setter copies: changing the caller's picture later changes nothing.
    QPixmap original = cor(Qt::yellow, 8, 8);
    botao->SetImagemPressionada(original);
    original.fill(Qt::black);
    botao->SetPressed(true);
    EXPECT_EQ(corMostrada(*botao), QColor(Qt::yellow));
}
