#include "settings/DecodificadorJpeg.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// Larger pictures than this are refused before anything is allocated: no
// picture of the program comes close, and a forged header must not make us
// allocate gigabytes.
constexpr qint64 maximoPixels = 64LL * 1024 * 1024;

struct GerenteErro {
    jpeg_error_mgr padrao;
    std::jmp_buf retorno;
};

[[noreturn]] void sairComErro(j_common_ptr info)
{
    auto *gerente = reinterpret_cast<GerenteErro *>(info->err);
    std::longjmp(gerente->retorno, 1);
}

// Corrupt-data warnings (level -1) mean the picture would be drawn half grey:
// treat them as errors. Trace messages are dropped; nothing goes to stderr.
void emitirMensagem(j_common_ptr info, int nivel)
{
    if (nivel < 0)
        sairComErro(info);
}

void silenciar(j_common_ptr) {}

// Owns the decompressor, so that every way out (including the longjmp target)
// releases libjpeg's memory. Holds no C++ object that needs unwinding, which is
// what makes the longjmp safe.
struct Descompressor {
    jpeg_decompress_struct info {};
    GerenteErro erro {};
    bool criado = false;

    ~Descompressor()
    {
        if (criado)
            jpeg_destroy_decompress(&info);
    }
};

bool prepararCabecalho(Descompressor &d, const QByteArray &jpeg)
{
    d.info.err = jpeg_std_error(&d.erro.padrao);
    d.erro.padrao.error_exit = sairComErro;
    d.erro.padrao.emit_message = emitirMensagem;
    d.erro.padrao.output_message = silenciar;
    jpeg_create_decompress(&d.info);
    d.criado = true;
    jpeg_mem_src(&d.info, reinterpret_cast<const unsigned char *>(jpeg.constData()),
                 static_cast<unsigned long>(jpeg.size()));
    if (jpeg_read_header(&d.info, TRUE) != JPEG_HEADER_OK)
        return false;
    const qint64 pixels = static_cast<qint64>(d.info.image_width) * d.info.image_height;
    return pixels > 0 && pixels <= maximoPixels;
}

// Adobe writes CMYK inverted; libjpeg hands the stored values back unchanged.
QRgb deCmyk(const JSAMPLE *p, bool invertido)
{
    int c = p[0], m = p[1], y = p[2], k = p[3];
    if (invertido) {
        c = 255 - c;
        m = 255 - m;
        y = 255 - y;
        k = 255 - k;
    }
    const int r = (255 - c) * (255 - k) / 255;
    const int g = (255 - m) * (255 - k) / 255;
    const int b = (255 - y) * (255 - k) / 255;
    return qRgb(r, g, b);
}

// The decoding proper; must not create C++ objects with destructors between
// setjmp and the last libjpeg call, except the image, which is assigned before.
bool decodificarEm(Descompressor &d, const QByteArray &jpeg, QImage &imagem)
{
    if (setjmp(d.erro.retorno))
        return false;
    if (!prepararCabecalho(d, jpeg))
        return false;
    const bool cmyk = d.info.jpeg_color_space == JCS_CMYK || d.info.jpeg_color_space == JCS_YCCK;
    d.info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&d.info);
    const int largura = static_cast<int>(d.info.output_width);
    const int altura = static_cast<int>(d.info.output_height);
    if (d.info.output_components != (cmyk ? 4 : 3))
        return false;
    imagem = QImage(largura, altura, cmyk ? QImage::Format_RGB32 : QImage::Format_RGB888);
    if (imagem.isNull())
        return false;
    const bool invertido = d.info.saw_Adobe_marker;
    JSAMPLE *linhaCmyk = nullptr;
    if (cmyk)
        linhaCmyk = static_cast<JSAMPLE *>((*d.info.mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(&d.info), JPOOL_IMAGE, static_cast<size_t>(largura) * 4));
    while (d.info.output_scanline < d.info.output_height) {
        const int y = static_cast<int>(d.info.output_scanline);
        if (cmyk) {
            JSAMPROW linhas[1] = {linhaCmyk};
            jpeg_read_scanlines(&d.info, linhas, 1);
            auto *destino = reinterpret_cast<QRgb *>(imagem.scanLine(y));
            for (int x = 0; x < largura; ++x)
                destino[x] = deCmyk(linhaCmyk + 4 * x, invertido);
        } else {
            JSAMPROW linhas[1] = {imagem.scanLine(y)};
            jpeg_read_scanlines(&d.info, linhas, 1);
        }
    }
    jpeg_finish_decompress(&d.info);
    return true;
}

}

QImage DecodificadorJpeg::decodificar(const QByteArray &jpeg)
{
    if (jpeg.isEmpty())
        return {};
    Descompressor d;
    QImage imagem;
    if (!decodificarEm(d, jpeg, imagem))
        return {};
    return imagem;
}

bool DecodificadorJpeg::cabecalhoValido(const QByteArray &jpeg)
{
    if (jpeg.isEmpty())
        return false;
    Descompressor d;
    if (setjmp(d.erro.retorno))
        return false;
    return prepararCabecalho(d, jpeg);
}
