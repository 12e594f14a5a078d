"""Binary PPM (P6) pictures, as ImageMagick and our reference writers give them."""


def read_ppm(path):
    """(width, height, the RGB bytes) of the picture."""
    with open(path, "rb") as f:
        data = f.read()
    fields = data.split(maxsplit=4)
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[len(data) - 3 * width * height:]
