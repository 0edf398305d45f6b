/* The floor of the default scene's whole process: a program that only fills a
   3072 x 1536 vertical gradient (the default sky's blue, white at the horizon,
   blue) and writes it as JPEG with libjpeg at quality 90. The process
   benchmark runs horizonmill-render beside it. */
#include <stdio.h>
#include <stdlib.h>

#include <jpeglib.h>

int main(int argc, char** argv) {
  const int width = 3072, height = 1536, half = 1536 / 2;
  if (argc != 2) {
    fprintf(stderr, "usage: horizonmill-floor OUT.jpg\n");
    return 2;
  }
  unsigned char* image = malloc((size_t)width * height * 3);
  JSAMPROW* rows = malloc(sizeof(JSAMPROW) * height);
  FILE* file = fopen(argv[1], "wb");
  if (image == NULL || rows == NULL || file == NULL) {
    perror("horizonmill-floor");
    return 1;
  }
  for (int y = 0; y < height; ++y) {
    const int level = 255 * (y <= half ? y : height - y) / half;
    unsigned char* row = image + (size_t)y * width * 3;
    for (int x = 0; x < width; ++x) {
      row[3 * x] = (unsigned char)level;
      row[3 * x + 1] = (unsigned char)level;
      row[3 * x + 2] = 255;
    }
    rows[y] = row;
  }
  struct jpeg_compress_struct cinfo;
  struct jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, file);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 90, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  jpeg_write_scanlines(&cinfo, rows, height);
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  fclose(file);
  free(rows);
  free(image);
  return 0;
}
