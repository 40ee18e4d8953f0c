/*
 * Draws reference shapes and stretches with GDI and prints one line per case with an
 * FNV-1a hash of the resulting pixels; raster_tests draw the same cases with our own
 * code and compare. Build with mingw-w64 and run under Wine or on Windows
 * (make_fixtures.sh). Never part of the build.
 *
 * Shapes are drawn the way the transition effects draw into their masks: a 1-bit
 * top-down DIB section with a black/white colour table, cleared to black, white
 * solid pen of width 1 and white solid brush, ALTERNATE fill unless stated.
 *
 * Output lines:
 *   E w h l t r b hash                 Ellipse(l, t, r, b) on a w x h canvas
 *   ES w h x y max hash...             Ellipse(x, y, x + cw, y + ch) for ch = 0..max
 *                                      (outer) and cw = 0..max (inner); "-" for slim
 *                                      upright ellipses (below)
 *   EC w h cx cy r0 r1 step hash...    Ellipse(cx - r, cy - r, cx + r, cy + r)
 *   R w h l t r b hash                 Rectangle(l, t, r, b)
 *   F w h l t r b hash                 FillRect with the white brush
 *   P w h mode n x0 y0 ... hash        Polygon, mode A (ALTERNATE) or W (WINDING)
 *   L w h x0 y0 x1 y1 hash             MoveTo(x0, y0), LineTo(x1, y1)
 *   LF w h cx cy hash...               lines from (cx, cy) to each point of the ring
 *                                      just outside the canvas, clockwise from (-1, -1)
 *   S sw sh dw dh dx dy hash           COLORONCOLOR StretchBlt of a 32-bit source whose
 *                                      pixel (x, y) is y * 65536 + x onto a 64 x 48
 *                                      32-bit canvas filled with 0xEEEEEEEE, source
 *                                      rectangle (0, 0, sw, sh), destination (dx, dy,
 *                                      dw, dh)
 *   SX max hash...                     for sw = 1..max: the hashes of the canvases after
 *                                      stretching (0, 0, sw, 1) onto (0, 0, dw, 1) for
 *                                      dw = 1..max, chained into one
 *   SY max hash...                     the same for (0, 0, 1, sw) onto (0, 0, 1, dw)
 *
 * Slim upright ellipses (3 to 16 wide and more than 2 pixels taller than wide) are left
 * out: where GDI's trace of the outline stops short of the tips, Wine fills the tip rows
 * of the interior from uninitialised memory, so its pixels there mean nothing.
 */
#include <stdio.h>
#include <string.h>
#include <windows.h>

static unsigned g_seed = 20240611u;
static int Rand(int n) {
    g_seed = g_seed * 134775813u + 1u;
    return (int)(((unsigned long long)g_seed * (unsigned)n) >> 32);
}

static unsigned FnvFrom(unsigned h, const unsigned char* p, size_t n) {
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 16777619u;
    return h;
}
static unsigned Fnv(const unsigned char* p, size_t n) {
    return FnvFrom(2166136261u, p, n);
}

static int SlimUpright(int w, int h) {
    if (w < 0) w = -w;
    if (h < 0) h = -h;
    return w >= 3 && w <= 16 && h > w + 2;
}

typedef struct {
    HDC dc;
    HBITMAP bitmap, old;
    unsigned char* bits;
    size_t size;
} Canvas;

static Canvas MakeCanvas(int w, int h, int bpp) {
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD pal[2];
    } bi;
    Canvas c;
    memset(&bi, 0, sizeof bi);
    bi.h.biSize = sizeof(BITMAPINFOHEADER);
    bi.h.biWidth = w;
    bi.h.biHeight = -h;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = (WORD)bpp;
    bi.h.biCompression = BI_RGB;
    bi.pal[1].rgbRed = bi.pal[1].rgbGreen = bi.pal[1].rgbBlue = 255;
    c.dc = CreateCompatibleDC(NULL);
    c.bitmap = CreateDIBSection(c.dc, (BITMAPINFO*)&bi, DIB_RGB_COLORS, (void**)&c.bits, NULL, 0);
    c.old = SelectObject(c.dc, c.bitmap);
    c.size = (size_t)((w * bpp + 31) / 32 * 4) * h;
    memset(c.bits, 0, c.size);
    if (bpp == 1) {
        SelectObject(c.dc, CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
        SelectObject(c.dc, CreateSolidBrush(RGB(255, 255, 255)));
    }
    return c;
}

static unsigned Finish(Canvas* c) {
    unsigned h;
    GdiFlush();
    h = Fnv(c->bits, c->size);
    DeleteObject(SelectObject(c->dc, GetStockObject(BLACK_PEN)));
    DeleteObject(SelectObject(c->dc, GetStockObject(BLACK_BRUSH)));
    SelectObject(c->dc, c->old);
    DeleteObject(c->bitmap);
    DeleteDC(c->dc);
    return h;
}

static unsigned EllipseHash(int w, int h, int l, int t, int r, int b) {
    Canvas c = MakeCanvas(w, h, 1);
    Ellipse(c.dc, l, t, r, b);
    return Finish(&c);
}

static unsigned LineHash(int w, int h, int x0, int y0, int x1, int y1) {
    Canvas c = MakeCanvas(w, h, 1);
    MoveToEx(c.dc, x0, y0, NULL);
    LineTo(c.dc, x1, y1);
    return Finish(&c);
}

static void PolygonCase(int w, int h, int mode, int n, const POINT* pts) {
    Canvas c = MakeCanvas(w, h, 1);
    int i;
    SetPolyFillMode(c.dc, mode == 'W' ? WINDING : ALTERNATE);
    Polygon(c.dc, pts, n);
    printf("P %d %d %c %d", w, h, mode, n);
    for (i = 0; i < n; ++i) printf(" %ld %ld", pts[i].x, pts[i].y);
    printf(" %08x\n", Finish(&c));
}

static void Ellipses(void) {
    int cw, ch, r, i;
    printf("ES 24 24 2 3 16");
    for (ch = 0; ch <= 16; ++ch)
        for (cw = 0; cw <= 16; ++cw)
            if (SlimUpright(cw, ch))
                printf(" -");
            else
                printf(" %08x", EllipseHash(24, 24, 2, 3, 2 + cw, 3 + ch));
    printf("\n");
    printf("EC 101 101 50 50 0 48 1");
    for (r = 0; r <= 48; ++r)
        printf(" %08x", EllipseHash(101, 101, 50 - r, 50 - r, 50 + r, 50 + r));
    printf("\n");
    /* Discs around points on the border, as the circle effect draws them. */
    printf("EC 40 30 0 0 1 49 4");
    for (r = 1; r <= 49; r += 4) printf(" %08x", EllipseHash(40, 30, -r, -r, r, r));
    printf("\n");
    printf("EC 40 30 40 15 2 47 5");
    for (r = 2; r <= 47; r += 5)
        printf(" %08x", EllipseHash(40, 30, 40 - r, 15 - r, 40 + r, 15 + r));
    printf("\n");
    for (i = 0; i < 24; ++i) {
        int l = Rand(200) - 40, t = Rand(150) - 30, wd = Rand(i < 12 ? 40 : 180),
            ht = Rand(i < 12 ? 40 : 140);
        if (!SlimUpright(wd, ht))
            printf("E 160 120 %d %d %d %d %08x\n", l, t, l + wd, t + ht,
                   EllipseHash(160, 120, l, t, l + wd, t + ht));
    }
    printf("E 32 32 20 18 4 3 %08x\n", EllipseHash(32, 32, 20, 18, 4, 3));
    printf("E 32 32 4 18 20 3 %08x\n", EllipseHash(32, 32, 4, 18, 20, 3));
}

static void Rectangles(void) {
    static const int cases[][4] = {{2, 3, 9, 7}, {9, 7, 2, 3},    {2, 3, 3, 9},
                                   {2, 3, 2, 9}, {-4, -2, 5, 40}, {5, 2, 9, 3}};
    int i;
    for (i = 0; i < 6; ++i) {
        const int* k = cases[i];
        RECT rc;
        Canvas c = MakeCanvas(16, 12, 1);
        Rectangle(c.dc, k[0], k[1], k[2], k[3]);
        printf("R 16 12 %d %d %d %d %08x\n", k[0], k[1], k[2], k[3], Finish(&c));
        c = MakeCanvas(16, 12, 1);
        SetRect(&rc, k[0], k[1], k[2], k[3]);
        FillRect(c.dc, &rc, (HBRUSH)GetCurrentObject(c.dc, OBJ_BRUSH));
        printf("F 16 12 %d %d %d %d %08x\n", k[0], k[1], k[2], k[3], Finish(&c));
    }
}

static void Polygons(void) {
    POINT p[8];
    int i, k;
    for (i = 0; i < 24; ++i) { /* triangles, some reaching outside */
        for (k = 0; k < 3; ++k) {
            p[k].x = Rand(64) - 8;
            p[k].y = Rand(56) - 8;
        }
        PolygonCase(48, 40, 'A', 3, p);
    }
    for (i = 0; i < 16; ++i) { /* quads and pentagons, often self-intersecting */
        int n = 4 + (i & 1);
        for (k = 0; k < n; ++k) {
            p[k].x = Rand(56) - 4;
            p[k].y = Rand(48) - 4;
        }
        PolygonCase(48, 40, 'A', n, p);
        PolygonCase(48, 40, 'W', n, p);
    }
    { /* a five-pointed star drawn in one stroke */
        static const POINT star[5] = {{20, 1}, {32, 36}, {2, 13}, {38, 13}, {8, 36}};
        PolygonCase(40, 40, 'A', 5, star);
        PolygonCase(40, 40, 'W', 5, star);
    }
    { /* degenerate polygons: collinear, repeated points, two points, one point */
        static const POINT line3[3] = {{3, 3}, {20, 12}, {37, 21}};
        static const POINT rep[5] = {{5, 5}, {5, 5}, {25, 8}, {25, 8}, {10, 30}};
        static const POINT two[2] = {{4, 30}, {30, 4}};
        static const POINT one[1] = {{7, 9}};
        static const POINT flat[4] = {{2, 10}, {30, 10}, {30, 11}, {2, 11}};
        PolygonCase(40, 40, 'A', 3, line3);
        PolygonCase(40, 40, 'A', 5, rep);
        PolygonCase(40, 40, 'A', 2, two);
        PolygonCase(40, 40, 'A', 1, one);
        PolygonCase(40, 40, 'A', 4, flat);
    }
    /* Radial wedges: pivot in the middle of a 41 x 31 frame, ring points one pixel
       outside it, corners in between. */
    for (i = 0; i < 16; ++i) {
        static const POINT corners[4] = {{-1, -1}, {41, -1}, {41, 31}, {-1, 31}};
        int n = 0, a = Rand(4), span = Rand(3), e;
        int ta = Rand(43), tb = Rand(43);
        p[n].x = (i & 4) ? 20 : (i & 1) * 40; /* centre, or a side middle */
        p[n++].y = 15;
        for (e = 0; e <= span; ++e) {
            int edge = (a + e) & 3, pos = e == 0 ? ta : tb;
            POINT q;
            if (e > 0) p[n++] = corners[edge];
            q.x = edge == 0 ? pos - 1 : edge == 1 ? 41 : edge == 2 ? 41 - pos : -1;
            q.y = edge == 0   ? -1
                  : edge == 1 ? pos * 31 / 42 - 1
                  : edge == 2 ? 31
                              : 31 - pos * 31 / 42;
            if (e == 0 || e == span) p[n++] = q;
        }
        PolygonCase(41, 31, 'A', n, p);
    }
    { /* long thin wedges on a larger frame */
        static const POINT w1[3] = {{100, 75}, {201, -1}, {201, 2}};
        static const POINT w2[3] = {{100, 75}, {-1, 150}, {3, 151}};
        static const POINT w3[4] = {{100, 75}, {150, -1}, {201, -1}, {201, 20}};
        PolygonCase(201, 151, 'A', 3, w1);
        PolygonCase(201, 151, 'A', 3, w2);
        PolygonCase(201, 151, 'A', 4, w3);
    }
}

static void Lines(void) {
    int i, w, h;
    /* fans to the ring just outside the canvas, as the radial effect walks it */
    static const int fans[][2] = {{25, 25}, {41, 31}};
    for (i = 0; i < 2; ++i) {
        int x, y, cx, cy;
        w = fans[i][0];
        h = fans[i][1];
        cx = w / 2;
        cy = h / 2;
        printf("LF %d %d %d %d", w, h, cx, cy);
        for (x = -1; x < w; ++x) printf(" %08x", LineHash(w, h, cx, cy, x, -1));
        for (y = -1; y < h; ++y) printf(" %08x", LineHash(w, h, cx, cy, w, y));
        for (x = w; x > -1; --x) printf(" %08x", LineHash(w, h, cx, cy, x, h));
        for (y = h; y > -1; --y) printf(" %08x", LineHash(w, h, cx, cy, -1, y));
        printf("\n");
    }
    for (i = 0; i < 40; ++i) {
        int x0 = Rand(140) - 40, y0 = Rand(120) - 40, x1 = Rand(140) - 40, y1 = Rand(120) - 40;
        if (i < 6) y1 = y0 + (i - 3);            /* nearly horizontal */
        if (i >= 6 && i < 12) x1 = x0 + (i - 9); /* nearly vertical */
        printf("L 64 48 %d %d %d %d %08x\n", x0, y0, x1, y1, LineHash(64, 48, x0, y0, x1, y1));
    }
    printf("L 16 16 5 5 5 5 %08x\n", LineHash(16, 16, 5, 5, 5, 5));
    printf("L 16 16 5 5 6 6 %08x\n", LineHash(16, 16, 5, 5, 6, 6));
    printf("L 16 16 -100000 -99995 100000 100005 %08x\n",
           LineHash(16, 16, -100000, -99995, 100000, 100005));
}

static void StretchSweep(Canvas* src, int rows) {
    int sw, dw;
    printf(rows ? "SY 24" : "SX 24");
    for (sw = 1; sw <= 24; ++sw) {
        unsigned h = 2166136261u;
        for (dw = 1; dw <= 24; ++dw) {
            Canvas dst = MakeCanvas(64, 48, 32);
            memset(dst.bits, 0xEE, dst.size);
            SetStretchBltMode(dst.dc, COLORONCOLOR);
            if (rows)
                StretchBlt(dst.dc, 0, 0, 1, dw, src->dc, 0, 0, 1, sw, SRCCOPY);
            else
                StretchBlt(dst.dc, 0, 0, dw, 1, src->dc, 0, 0, sw, 1, SRCCOPY);
            GdiFlush();
            h = FnvFrom(h, dst.bits, dst.size);
            Finish(&dst);
        }
        printf(" %08x", h);
    }
    printf("\n");
}

static void Stretches(void) {
    int i, x, y;
    Canvas src = MakeCanvas(96, 80, 32);
    for (y = 0; y < 80; ++y)
        for (x = 0; x < 96; ++x) ((unsigned*)src.bits)[y * 96 + x] = (unsigned)(y * 65536 + x);
    StretchSweep(&src, 0);
    StretchSweep(&src, 1);
    for (i = 0; i < 64; ++i) {
        int sw = 1 + Rand(i < 32 ? 12 : 90), sh = 1 + Rand(i < 32 ? 12 : 80);
        int dw = 1 + Rand(i < 32 ? 12 : 90), dh = 1 + Rand(i < 32 ? 12 : 70);
        int dx = Rand(40) - 10, dy = Rand(30) - 10;
        Canvas dst = MakeCanvas(64, 48, 32);
        if (i == 0) {
            sw = 1;
            sh = 40;
            dw = 50;
            dh = 40;
            dx = 7;
            dy = 0;
        } /* a drip streak */
        if (i == 1) {
            sw = 9;
            dw = 1;
        }
        if (i == 2) {
            sh = 9;
            dh = 1;
        }
        memset(dst.bits, 0xEE, dst.size);
        SetStretchBltMode(dst.dc, COLORONCOLOR);
        StretchBlt(dst.dc, dx, dy, dw, dh, src.dc, 0, 0, sw, sh, SRCCOPY);
        printf("S %d %d %d %d %d %d %08x\n", sw, sh, dw, dh, dx, dy, Finish(&dst));
    }
    Finish(&src);
}

int main(void) {
    printf("# Made by gdi_reference.c (see make_fixtures.sh); do not edit.\n");
    Ellipses();
    Rectangles();
    Polygons();
    Lines();
    Stretches();
    return 0;
}
