#include "plot.h"

#include <cairo-svg.h>
#include <cairo.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "plot_draw.h"

namespace audiomix_render {

namespace {

enum class PictureFormat { Svg, Png, Unknown };

std::string lower_extension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

PictureFormat format_of(const std::string& extension) {
    if (extension == ".svg") return PictureFormat::Svg;
    if (extension == ".png") return PictureFormat::Png;
    return PictureFormat::Unknown;
}

cairo_status_t append_to_string(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

// Draws onto surface; false with error set when cairo could not.
bool draw_onto(cairo_surface_t* surface, const PlotData& data, std::string& error) {
    cairo_t* cr = cairo_create(surface);
    draw_plot(cr, data);
    const cairo_status_t status = cairo_status(cr);
    cairo_destroy(cr);
    if (status != CAIRO_STATUS_SUCCESS) {
        error = std::string("drawing the plot failed: ") + cairo_status_to_string(status);
        return false;
    }
    return true;
}

// The whole file's bytes, made in memory.
bool render_picture(PictureFormat format, const PlotData& data, std::string& bytes, std::string& error) {
    cairo_status_t status;
    if (format == PictureFormat::Svg) {
        Surface surface(cairo_svg_surface_create_for_stream(append_to_string, &bytes, kPlotWidth, kPlotHeight));
        if (!draw_onto(surface.get(), data, error)) return false;
        cairo_surface_finish(surface.get());  // the SVG is written out here
        status = cairo_surface_status(surface.get());
    } else {
        Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, kPlotWidth, kPlotHeight));
        if (!draw_onto(surface.get(), data, error)) return false;
        status = cairo_surface_write_to_png_stream(surface.get(), append_to_string, &bytes);
    }
    if (status != CAIRO_STATUS_SUCCESS) {
        error = std::string("encoding the plot failed: ") + cairo_status_to_string(status);
        return false;
    }
    return true;
}

bool write_file(const std::string& path, const std::string& bytes, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int savedErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (written && closed) return true;
    error = path + ": " + std::strerror(written ? errno : savedErrno);
    std::remove(path.c_str());
    return false;
}

}  // namespace

bool plot_bytes(const std::string& path, const PlotData& data, std::string& bytes, std::string& error) {
    const std::string extension = lower_extension(path);
    const PictureFormat format = format_of(extension);
    if (format == PictureFormat::Unknown) {
        error = path + ": " +
                (extension.empty() ? std::string("no extension") : "unknown picture type '" + extension + "'") +
                " (use .svg or .png)";
        return false;
    }
    if (!render_picture(format, data, bytes, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool write_plot(const std::string& path, const PlotData& data, std::string& error) {
    std::string bytes;
    return plot_bytes(path, data, bytes, error) && write_file(path, bytes, error);
}

}  // namespace audiomix_render
