/* Writes the sample's background pictures with libjpeg. Run once; the JPEG files are kept
 * beside the manifest:  cc make-pictures.c -ljpeg -lm -o /tmp/mp && /tmp/mp  */
#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <jpeglib.h>

static void Write(const char* name, int w, int h, void (*pixel)(int, int, unsigned char*)) {
    FILE* f = fopen(name, "wb");
    if (!f) { perror(name); exit(1); }
    struct jpeg_compress_struct c;
    struct jpeg_error_mgr e;
    c.err = jpeg_std_error(&e);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, f);
    c.image_width = w;
    c.image_height = h;
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 82, TRUE);
    jpeg_start_compress(&c, TRUE);
    unsigned char* row = malloc((size_t)w * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) pixel(x, y, row + 3 * x);
        JSAMPROW r = row;
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    free(row);
    fclose(f);
}

/* Warm paper with a faint diamond lattice; seamless at 64 x 64. */
static void Paper(int x, int y, unsigned char* p) {
    int dx = abs((x % 64) - 32), dy = abs((y % 64) - 32);
    int line = abs(dx + dy - 32) < 2 ? 14 : 0;
    int grain = ((x * 7 + y * 13) ^ (x * y)) % 5;
    p[0] = (unsigned char)(250 - line - grain);
    p[1] = (unsigned char)(244 - line - grain);
    p[2] = (unsigned char)(228 - line / 2 - grain);
}

/* A soft blue sky with a pale sun, drawn once behind the whole window. */
static void Sky(int x, int y, unsigned char* p) {
    double t = y / 600.0;
    double d = hypot(x - 640.0, y - 90.0);
    double sun = d < 60 ? 1.0 : (d < 140 ? (140 - d) / 80.0 : 0.0);
    p[0] = (unsigned char)fmin(255, 200 - 60 * t + 55 * sun);
    p[1] = (unsigned char)fmin(255, 222 - 40 * t + 33 * sun);
    p[2] = (unsigned char)fmin(255, 250 - 10 * t);
}

int main(void) {
    Write("paper.jpg", 64, 64, Paper);
    Write("sky.jpg", 800, 600, Sky);
    return 0;
}
