#pragma once

#include "practice/ExecucaoPratica.h"

#include <QString>
#include <QWidget>

#include <vector>

// The progress chart of one song: accuracy above, mean offset below, one point
// per run from the oldest on the left to the newest on the right. With more runs
// than pixels, each pixel column shows the mean of the runs that fall into it.
class GraficoProgresso : public QWidget {
public:
    explicit GraficoProgresso(QWidget *parent = nullptr);

    // Takes the runs (oldest first) and the index of the best one (-1: none).
    void setExecucoes(const std::vector<ExecucaoPratica> &execucoes, int melhor);
    // Captions of the two panels and of the oldest and newest run's dates.
    void setTextos(const QString &precisao, const QString &desvio);
    int getNumPontos() const { return static_cast<int>(precisoes.size()); }

protected:
    void paintEvent(QPaintEvent *evento) override;

private:
    struct Coluna {
        double x;
        double valor;
    };
    // The points of one series laid across the width, averaged per pixel column.
    std::vector<Coluna> colunas(const std::vector<float> &valores, double esquerda, double largura) const;

    std::vector<float> precisoes;  // percent, per run
    std::vector<float> desvios;    // mean offset in ms, per run
    int melhor = -1;
    QString primeiraData;
    QString ultimaData;
    QString textoPrecisao;
    QString textoDesvio;
};
