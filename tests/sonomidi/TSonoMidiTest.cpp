#include "sonomidi/TSonoMidi.h"

#include "AmbienteSnMidi.h"
#include "sonomidi/ESonoMidiException.h"
#include "sonomidi/TSonoMidiOut.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <memory>

namespace {
bool carregada(const QString &caminho)
{
    void *h = dlopen(QFile::encodeName(caminho).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (h)
        dlclose(h);
    return h != nullptr;
}

QString mensagemAoLigar(const QString &caminho)
{
    try {
        TSonoMidi ligacao(nullptr, caminho);
    } catch (const ESonoMidiException &erro) {
        return erro.Message();
    }
    return QString();
}
}

TEST(TSonoMidiTest, AnAbsentLibraryRaisesAndLeavesNothingLoaded)
{
    EXPECT_EQ(mensagemAoLigar(QStringLiteral(TESTE_BIBLIOTECA_AUSENTE)), QStringLiteral("Load of SnMidi32.dll failed"));
    EXPECT_FALSE(carregada(QStringLiteral(TESTE_BIBLIOTECA_AUSENTE)));

    // The application folder holds no library and the normal search finds none.
    // This suite's first test: nothing has loaded the library yet.
    ASSERT_FALSE(carregada(QStringLiteral("libSnMidi32.so"))) << "a libSnMidi32.so is already loaded in this process";
    PastaTemporaria vazia{QStringList()};
    try {
        TSonoMidi ligacao;
        FAIL() << "bound a library that is not there";
    } catch (const ESonoMidiException &erro) {
        EXPECT_EQ(erro.Message(), QStringLiteral("Load of SnMidi32.dll failed"));
    }
}

TEST(TSonoMidiTest, AMissingEntryPointIsNamedAndTheLibraryUnloadedOnce)
{
    QTemporaryDir pasta;
    const QString registro = pasta.filePath(QStringLiteral("registro.txt"));
    qputenv("SNMIDI32_ENSAIO_LOG", QFile::encodeName(registro));
    const QString biblioteca = QStringLiteral(TESTE_BIBLIOTECA_INCOMPLETA);
    ASSERT_FALSE(carregada(biblioteca));

    // The 34 others are found in table order, so the message names the last one.
    EXPECT_EQ(mensagemAoLigar(biblioteca), QStringLiteral("Failed to loadproc:_WriteMetaEvent@20"));
    qunsetenv("SNMIDI32_ENSAIO_LOG");
    EXPECT_FALSE(carregada(biblioteca));
    QFile arquivo(registro);
    ASSERT_TRUE(arquivo.open(QIODevice::ReadOnly));
    EXPECT_EQ(arquivo.readAll(), QByteArray("load\nunload\n"));
}

TEST(TSonoMidiTest, BindsTheCopyBesideTheExecutableAndResolvesEveryEntryPoint)
{
    EXPECT_EQ(TSonoMidi::PlainName("_OpenSync@16"), QByteArray("OpenSync"));
    EXPECT_EQ(TSonoMidi::PlainName("_GetSonoMidiVersion@0"), QByteArray("GetSonoMidiVersion"));
    EXPECT_EQ(TSonoMidi::PlainName(TSonoMidi::EntryPointNames[34]), QByteArray("WriteMetaEvent"));

    AmbienteSnMidi ambiente;
    auto dono = std::make_unique<QObject>();
    auto *ligacao = new TSonoMidi(dono.get());
    EXPECT_TRUE(carregada(ambiente.biblioteca()));
    void *daPasta = dlopen(QFile::encodeName(ambiente.biblioteca()).constData(), RTLD_NOW | RTLD_NOLOAD);
    EXPECT_EQ(ligacao->GetLibraryHandle(), daPasta);
    dlclose(daPasta);

    const void *ponteiros[] = {
        reinterpret_cast<const void *>(ligacao->GetSonoMidiVersion), reinterpret_cast<const void *>(ligacao->OpenMidiOut),
        reinterpret_cast<const void *>(ligacao->GetMidiIn),          reinterpret_cast<const void *>(ligacao->OpenSync),
        reinterpret_cast<const void *>(ligacao->GetPosition),        reinterpret_cast<const void *>(ligacao->SetSMFResolution),
        reinterpret_cast<const void *>(ligacao->WriteMetaEvent)};
    for (const void *ponteiro : ponteiros)
        EXPECT_NE(ponteiro, nullptr);
    EXPECT_EQ(ligacao->Version, ligacao->GetSonoMidiVersion());

    // The owner destroys the binding, which unloads the library.
    dono.reset();
    EXPECT_FALSE(carregada(ambiente.biblioteca()));
}

TEST(TSonoMidiTest, TwoBindingsEachLoadTheLibraryAndOneOutlivesTheOther)
{
    AmbienteSnMidi ambiente;
    auto primeira = std::make_unique<TSonoMidi>();
    auto segunda = std::make_unique<TSonoMidi>();
    const int captura = AmbienteSnMidi::dispositivo(*segunda, QStringLiteral("Captura"));
    ASSERT_GE(captura, 0);
    primeira.reset();
    ASSERT_TRUE(carregada(ambiente.biblioteca()));

    TSonoMidiOut porta;
    porta.SonoMidi = segunda.get();
    ASSERT_TRUE(porta.Open(static_cast<uint16_t>(captura), 0x13320));
    MIDIEVENT nota = {0, 0x99, 38, 100, 0};
    EXPECT_TRUE(porta.Put(&nota));
    EXPECT_EQ(ambiente.capturadas(captura), (QList<AmbienteSnMidi::Mensagem>{{0, captura, 0x99, 38, 100}}));
    porta.Close();
    porta.SonoMidi = nullptr;
    segunda.reset();
    EXPECT_FALSE(carregada(ambiente.biblioteca()));
}
