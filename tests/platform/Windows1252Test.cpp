#include "platform/Windows1252.h"

#include <gtest/gtest.h>

TEST(Windows1252Test, RoundTripsEveryByte)
{
    QByteArray todos;
    for (int c = 1; c < 256; ++c)
        todos.append(static_cast<char>(c));
    EXPECT_EQ(Windows1252::codificar(Windows1252::decodificar(todos)), todos);
}

TEST(Windows1252Test, DecodesAccentsAndTheEuroRange)
{
    EXPECT_EQ(Windows1252::decodificar(QByteArray("Portugu\xEAs")), QString::fromUtf8("Português"));
    EXPECT_EQ(Windows1252::decodificar(QByteArray("\x80\x96")), QString::fromUtf8("€–"));
    EXPECT_EQ(Windows1252::codificar(QString::fromUtf8("Baião")), QByteArray("Bai\xE3o"));
    EXPECT_EQ(Windows1252::codificar(QString::fromUtf8("日")), QByteArray("?"));
}
