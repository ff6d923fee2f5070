#include "CodificadorJpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace {

struct GerenteErro {
    jpeg_error_mgr padrao;
    std::jmp_buf retorno;
};

[[noreturn]] void sairComErro(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<GerenteErro *>(info->err)->retorno, 1);
}

void silenciar(j_common_ptr) {}

struct Compressor {
    jpeg_compress_struct info {};
    GerenteErro erro {};
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

bool comprimir(Compressor &c, const uint8_t *pixels, int largura, int altura, int qualidade)
{
    if (setjmp(c.erro.retorno))
        return false;
    c.info.err = jpeg_std_error(&c.erro.padrao);
    c.erro.padrao.error_exit = sairComErro;
    c.erro.padrao.output_message = silenciar;
    jpeg_create_compress(&c.info);
    c.criado = true;
    jpeg_mem_dest(&c.info, &c.saida, &c.tamanho);
    c.info.image_width = static_cast<JDIMENSION>(largura);
    c.info.image_height = static_cast<JDIMENSION>(altura);
    c.info.input_components = 3;
    c.info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c.info);
    jpeg_set_quality(&c.info, qualidade, TRUE);
    jpeg_start_compress(&c.info, TRUE);
    while (c.info.next_scanline < c.info.image_height) {
        JSAMPROW linha[1] = {const_cast<JSAMPLE *>(pixels + static_cast<size_t>(c.info.next_scanline) * largura * 3)};
        jpeg_write_scanlines(&c.info, linha, 1);
    }
    jpeg_finish_compress(&c.info);
    return true;
}

}

QByteArray CodificadorJpeg::rgb(const uint8_t *pixels, int largura, int altura, int qualidade)
{
    if (!pixels || largura <= 0 || altura <= 0)
        return {};
    Compressor c;
    if (!comprimir(c, pixels, largura, altura, qualidade))
        return {};
    return QByteArray(reinterpret_cast<const char *>(c.saida), static_cast<qsizetype>(c.tamanho));
}

QByteArray CodificadorJpeg::cor(int largura, int altura, uint8_t r, uint8_t g, uint8_t b, int qualidade)
{
    if (largura <= 0 || altura <= 0)
        return {};
    std::vector<uint8_t> pixels(static_cast<size_t>(largura) * altura * 3);
    for (size_t i = 0; i < pixels.size(); i += 3) {
        pixels[i] = r;
        pixels[i + 1] = g;
        pixels[i + 2] = b;
    }
    return rgb(pixels.data(), largura, altura, qualidade);
}
