#pragma once

#include "engine/Avaliador.h"
#include "engine/ResultadoAvaliacao.h"

#include <QElapsedTimer>
#include <QPoint>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QPushButton;
class QTimer;

// Play Along feedback drawn over the kit panel: a short-lived mark at the drum of each
// graded hit (on time / early / late with the offset, coloured by grade) and a flash
// for each miss; a strip over the top with accuracy, streak and mean offset; and the
// results panel of a finished run, closed by Esc or a click. It lets the mouse through
// to the kit except while the results panel shows.
class PainelAvaliacao : public QWidget {
    Q_OBJECT

public:
    explicit PainelAvaliacao(QWidget *painelKit);

    void mostrarMarca(const Avaliador::Marca &marca);
    void atualizarFaixa(const ResultadoAvaliacao &parcial, int32_t sequencia);
    void mostrarResultado(const ResultadoAvaliacao &resultado);
    void fecharResultado();
    bool resultadoVisivel() const { return resultado.has_value(); }
    const std::optional<ResultadoAvaliacao> &getResultado() const { return resultado; }
    // Play Along off: strip, marks and results go.
    void limpar();
    // The results panel's button that opens the practice progress (the panel closes first).
    QPushButton *btnProgresso;
    std::function<void()> aoPedirProgresso;

    bool faixaVisivel() const { return !faixa.isEmpty(); }
    QString getFaixa() const { return faixa; }
    int marcasVivas() const { return int(marcas.size()); }

    // Where a note's mark goes, in the kit panel: the centre of its drum or cymbal.
    static QPoint posicaoDaNota(int32_t nota);
    // The text of a mark.
    static QString textoDaMarca(const Avaliador::Marca &marca);
    // The name of a drum family, for the results panel.
    static QString nomeDaFamilia(int32_t familia);

protected:
    void paintEvent(QPaintEvent *evento) override;
    void mousePressEvent(QMouseEvent *evento) override;

private:
    struct MarcaViva {
        Avaliador::Marca marca;
        qint64 inicio;
    };
    void animar();
    void desenharMarcas(class QPainter &pintor);
    void desenharFaixa(QPainter &pintor);
    void desenharResultado(QPainter &pintor);

    std::vector<MarcaViva> marcas;
    QString faixa;
    std::optional<ResultadoAvaliacao> resultado;
    QElapsedTimer relogio;
    QTimer *animacao;
};
