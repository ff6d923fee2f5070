#include "tools/jpeg/CodificadorJpeg.h"

#include <QImage>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace {

struct ErroJpeg {
    jpeg_error_mgr padrao;
    std::jmp_buf retorno;
};

[[noreturn]] void sairComErro(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErroJpeg *>(info->err)->retorno, 1);
}

void semMensagens(j_common_ptr) {}

// Owns what libjpeg allocates, so an error that jumps out of the encoding frees it too.
struct Compressor {
    jpeg_compress_struct info{};
    ErroJpeg erro{};
    unsigned char *saida = nullptr;
    unsigned long tamanho = 0;
    bool criado = false;

    ~Compressor()
    {
        if (criado)
            jpeg_destroy_compress(&info);
        std::free(saida);
    }
};

// Rows of largura RGB pixels, bytesPorLinha apart.
bool comprimir(Compressor &c, const uint8_t *pixels, int largura, int altura, size_t bytesPorLinha, int qualidade)
{
    if (setjmp(c.erro.retorno))
        return false;
    c.info.err = jpeg_std_error(&c.erro.padrao);
    c.erro.padrao.error_exit = sairComErro;
    c.erro.padrao.output_message = semMensagens;
    jpeg_create_compress(&c.info);
    c.criado = true;
    jpeg_mem_dest(&c.info, &c.saida, &c.tamanho);
    c.info.image_width = JDIMENSION(largura);
    c.info.image_height = JDIMENSION(altura);
    c.info.input_components = 3;
    c.info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c.info);
    jpeg_set_quality(&c.info, qualidade, TRUE);
    for (int i = 0; i < c.info.num_components; ++i) {
        c.info.comp_info[i].h_samp_factor = 1;
        c.info.comp_info[i].v_samp_factor = 1;
    }
    c.info.optimize_coding = TRUE;
    c.info.density_unit = 1;  // dots per inch: the pictures are drawn for 96
    c.info.X_density = 96;
    c.info.Y_density = 96;
    jpeg_start_compress(&c.info, TRUE);
    while (c.info.next_scanline < c.info.image_height) {
        JSAMPROW linha = const_cast<JSAMPROW>(pixels + size_t(c.info.next_scanline) * bytesPorLinha);
        jpeg_write_scanlines(&c.info, &linha, 1);
    }
    jpeg_finish_compress(&c.info);
    return true;
}

QByteArray codificarLinhas(const uint8_t *pixels, int largura, int altura, size_t bytesPorLinha, int qualidade)
{
    if (!pixels || largura <= 0 || altura <= 0)
        return {};
    Compressor c;
    if (!comprimir(c, pixels, largura, altura, bytesPorLinha, qualidade))
        return {};
    return QByteArray(reinterpret_cast<const char *>(c.saida), qsizetype(c.tamanho));
}

}  // namespace

QByteArray CodificadorJpeg::codificar(const QImage &imagem, int qualidade)
{
    if (imagem.isNull())
        return {};
    const QImage rgb = imagem.convertToFormat(QImage::Format_RGB888);
    return codificarLinhas(rgb.constBits(), rgb.width(), rgb.height(), size_t(rgb.bytesPerLine()), qualidade);
}

QByteArray CodificadorJpeg::rgb(const uint8_t *pixels, int largura, int altura, int qualidade)
{
    return codificarLinhas(pixels, largura, altura, size_t(largura) * 3, qualidade);
}

QByteArray CodificadorJpeg::cor(int largura, int altura, uint8_t r, uint8_t g, uint8_t b, int qualidade)
{
    if (largura <= 0 || altura <= 0)
        return {};
    std::vector<uint8_t> pixels(size_t(largura) * size_t(altura) * 3);
    for (size_t i = 0; i < pixels.size(); i += 3) {
        pixels[i] = r;
        pixels[i + 1] = g;
        pixels[i + 2] = b;
    }
    return rgb(pixels.data(), largura, altura, qualidade);
}
