#include "tools/render/CodificadorJpeg.h"

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

void sairComErro(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErroJpeg *>(info->err)->retorno, 1);
}

void semMensagens(j_common_ptr) {}

}

QByteArray CodificadorJpeg::codificar(const QImage &imagem, int qualidade)
{
    if (imagem.isNull())
        return {};
    const QImage rgb = imagem.convertToFormat(QImage::Format_RGB888);

    jpeg_compress_struct info{};
    ErroJpeg erro{};
    info.err = jpeg_std_error(&erro.padrao);
    erro.padrao.error_exit = sairComErro;
    erro.padrao.output_message = semMensagens;

    unsigned char *saida = nullptr;
    unsigned long tamanho = 0;
    if (setjmp(erro.retorno)) {
        jpeg_destroy_compress(&info);
        std::free(saida);
        return {};
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &saida, &tamanho);
    info.image_width = JDIMENSION(rgb.width());
    info.image_height = JDIMENSION(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, qualidade, TRUE);
    for (int c = 0; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    info.optimize_coding = TRUE;
    info.density_unit = 1;  // dots per inch: the pictures are drawn for 96
    info.X_density = 96;
    info.Y_density = 96;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW linha = const_cast<JSAMPROW>(rgb.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &linha, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char *>(saida), qsizetype(tamanho));
    std::free(saida);
    return bytes;
}
