// A drum key pressed on the player window to its note in the capture file:
// the key event reaches the window as the window system delivers it, and the
// capture line carries the library's time of the message. Median and p99.

#include "BancadaJanela.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QWindow>

int main(int argc, char **argv)
{
    QTemporaryDir pasta;
    const QString captura = pasta.filePath(QStringLiteral("captura.txt"));
    qputenv("SNMIDI32_AUDIO", "null");
    qputenv("SNMIDI32_CAPTURE", QFile::encodeName(captura));
    qputenv("SNMIDI32_CAPTURE_DEVICES", "Captura");
    QApplication aplicacao(argc, argv);
    PastaAplicacao::definir(QStringLiteral(TAMBORLY_BUILD_APP_DIR));
    bancada::Janela janela(int(SaidaMIDI::instancia().listarDispositivos().indexOf(QStringLiteral("Captura"))));
    QWindow *alvo = janela.principal->windowHandle();

    const int teclas[] = {Qt::Key_A, Qt::Key_S, Qt::Key_X, Qt::Key_Space, Qt::Key_K, Qt::Key_O};
    const int vezes = 2000;
    std::vector<int64_t> envios;
    QFile arquivo(captura);
    const qint64 inicio = arquivo.size();
    for (int i = 0; i < vezes; ++i) {
        const int tecla = teclas[i % 6];
        QKeyEvent baixo(QEvent::KeyPress, tecla, Qt::NoModifier);
        QKeyEvent cima(QEvent::KeyRelease, tecla, Qt::NoModifier);
        envios.push_back(bancada::agoraMicros());
        QCoreApplication::sendEvent(alvo, &baixo);
        QCoreApplication::sendEvent(alvo, &cima);
        if (i % 50 == 0)
            QCoreApplication::processEvents();  // let the window paint now and then
    }
    std::vector<int64_t> notas;
    if (arquivo.open(QIODevice::ReadOnly) && arquivo.seek(inicio)) {
        while (!arquivo.atEnd()) {
            const QList<QByteArray> campos = arquivo.readLine().simplified().split(' ');
            if ((campos.size() == 5 || campos.size() == 6) && campos[2] == "153" && campos[4] != "0")
                notas.push_back(campos[0].toLongLong());
        }
    }
    std::vector<double> atrasos;
    for (size_t i = 0; i < std::min(notas.size(), envios.size()); ++i)
        atrasos.push_back(double(notas[i] - envios[i]));
    std::printf("%d key strokes on the window, %zu notes captured\n", vezes, notas.size());
    bancada::relatar("key press to note in the capture file", atrasos, "us");
    return notas.size() == size_t(vezes) ? 0 : 1;
}
