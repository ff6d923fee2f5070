#pragma once

#include "AmbienteSetup.h"

#include "settings/TformAssistenteConfiguracaoDriver.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

// What the wizard's test puts on a device: bank 0 and program 0 on channel
// index 1, then the 24 notes from 60 up, each released before the next starts
// and sounding for the scale's pause (80 ms for the user, shortened in these
// suites). The silence of a port reopened on the same device comes before and is
// left out.
inline void verificarEscala(const QList<AmbienteSetup::Mensagem> &capturadas)
{
    const QList<AmbienteSetup::Mensagem> mensagens = AmbienteSetup::semSilencio(capturadas);
    ASSERT_EQ(mensagens.size(), 2 + 48);
    EXPECT_EQ(std::make_tuple(mensagens[0].status, mensagens[0].dado1, mensagens[0].dado2), std::make_tuple(0xB1, 0, 0));
    EXPECT_EQ(std::make_tuple(mensagens[1].status, mensagens[1].dado1, mensagens[1].dado2), std::make_tuple(0xC1, 0, 0));
    for (int k = 0; k < 24; ++k) {
        const auto &liga = mensagens[2 + 2 * k];
        const auto &desliga = mensagens[3 + 2 * k];
        EXPECT_EQ(std::make_tuple(liga.status, liga.dado1, liga.dado2), std::make_tuple(0x91, 60 + k, 127)) << k;
        EXPECT_EQ(std::make_tuple(desliga.status, desliga.dado1, desliga.dado2), std::make_tuple(0x91, 60 + k, 0)) << k;
        EXPECT_GE(desliga.tempo - liga.tempo, AmbienteSetup::pausaEscala * 1000) << k;
    }
}

// The buttons each step shows: at most one in each of the two places.
inline QStringList botoesVisiveis(const TformAssistenteConfiguracaoDriver &assistente)
{
    QStringList visiveis;
    for (QPushButton *botao : {assistente.btnEscutando, assistente.btnNaoEscutando, assistente.btnProsseguir,
                               assistente.btnCancelar, assistente.btnFinalizar}) {
        if (botao->isVisible())
            visiveis.append(botao->text() + (botao->isEnabled() ? QString() : QStringLiteral(" (off)"))
                            + (botao->isDefault() ? QStringLiteral(" (default)") : QString()));
    }
    return visiveis;
}
