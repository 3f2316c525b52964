#!/usr/bin/env python3
"""Writes the reading-stream corpus: the exact bytes the analyser sends in answer to each request.

Every line ends LF (0x0A) then CR (0x0D), the order the instrument uses, and every stream ends
with the line </BTInstReading> and its LF CR. Attribute lines carry no leading blanks; a line
that begins with a space is a single-logger record line. Values are deterministic (fixed seed),
so running the script again reproduces the committed files byte for byte.

    python3 make_streams.py [OUTPUT_DIR]      (default: the directory of this script)
"""

import os
import random
import sys

LINE_END = "\n\r"
CLOSING = "</BTInstReading>"

MAKER = "NRV Instruments"
MODEL = "NRV508"
SERIAL = "50811427"
MAJOR = "2"
MINOR = "05"


def attr(key, value, tail=""):
    """One attribute line: key (with its '='), the quoted value, then any trailing text."""
    return f'{key}"{value}"{tail}'


def stream(lines):
    text = LINE_END.join(lines + [CLOSING]) + LINE_END
    text.encode("ascii")  # the instrument sends plain ASCII only
    return text


def instrument_header(mode_title):
    return [
        "<BTInstReading",
        attr("manufacturer=", MAKER),
        attr("model=", MODEL),
        attr("major_version=", MAJOR),
        attr("minor_version=", MINOR),
        attr("serial_number=", SERIAL),
        attr("mode=", mode_title),
    ]


def close_header(lines):
    """The instrument puts the '>' of the opening element after the last header attribute."""
    lines[-1] += ">"
    return lines


def record(first_key, first_value, pairs):
    """A record: '<inst_data' and its first attribute, one attribute per line, '/>' at the end."""
    lines = ["<inst_data " + attr(first_key, first_value)]
    lines += [attr(k, v) for k, v in pairs]
    lines[-1] += "/>"
    return lines


# ---------------------------------------------------------------------------------------------
# Combustion figures, so that the values hang together like a real flue-gas reading.

CO2_MAX = {"Natural Gas": 11.7, "Light Oil": 15.4, "Propane/Butane": 13.8}


def co2_for(fuel, o2):
    return CO2_MAX[fuel] * (20.9 - o2) / 20.9


def xair_for(o2):
    return 100.0 * o2 / (20.9 - o2)


def ratio_for(co_ppm, co2_percent):
    return co_ppm / (co2_percent * 10000.0)


def efficiency_for(flue_c, ambient_c, o2):
    # Flue-gas loss: temperature lift times a fuel-independent approximation of the gas volume.
    return 100.0 - (flue_c - ambient_c) * (0.66 / (21.0 - o2) + 0.009)


def f1(x):
    return f"{x:.1f}"


def f2(x):
    return f"{x:.2f}"


def f4(x):
    return f"{x:.4f}"


def c_to_f(c):
    return c * 9.0 / 5.0 + 32.0


# ---------------------------------------------------------------------------------------------
# Real Mode: one live reading per stream.


def real_stream():
    lines = close_header(instrument_header("Real Time Mode Data"))
    fuel, o2, co, flue, room = "Natural Gas", 4.8, 25, 182.5, 21.3
    co2 = co2_for(fuel, o2)
    lines += record(
        "time=",
        "14:32:07",
        [
            ("date=", "12/03/24"),
            ("CO=", str(co)),
            ("O2=", f1(o2)),
            ("CO2=", f1(co2)),
            ("CO_CO2_ratio=", f4(ratio_for(co, co2))),
            ("xair=", f1(xair_for(o2))),
            ("efficiency=", f1(efficiency_for(flue, room, o2))),
            ("temp_ch1=", f1(flue)),
            ("temp_ch2=", f1(room)),
            ("pressure=", "-0.12"),
            ("fuel_type=", fuel),
            ("temperature_unit=", "C"),
            ("pressure_unit=", "mbar"),
        ],
    )
    return stream(lines)


def real2_stream():
    # Opening tag and first attribute on one line: the maker is then hidden, which is harmless.
    # No xair= line, the second probe is unplugged, and temperatures come in Fahrenheit.
    lines = instrument_header("Real Time Mode Data")
    lines = close_header([lines[0] + " " + lines[1]] + lines[2:])
    fuel, o2, co, flue = "Natural Gas", 5.1, 31, 181.9
    co2 = co2_for(fuel, o2)
    lines += record(
        "time=",
        "14:32:08",
        [
            ("date=", "12/03/24"),
            ("CO=", str(co)),
            ("O2=", f1(o2)),
            ("CO2=", f1(co2)),
            ("CO_CO2_ratio=", f4(ratio_for(co, co2))),
            ("efficiency=", f1(efficiency_for(flue, 21.3, o2))),
            ("temp_ch1=", f1(c_to_f(flue))),
            ("temp_ch2=", "OPEN"),
            ("pressure=", "-0.11"),
            ("fuel_type=", fuel),
            ("temperature_unit=", "F"),
            ("pressure_unit=", "mbar"),
        ],
    )
    return stream(lines)


# ---------------------------------------------------------------------------------------------
# Store Mode: the readings the user saved one by one, with their own units.


def store_stream():
    # (time, date, fuel, CO, O2, CO2, ratio, xair, eff, T1, T2, pressure, T unit, P unit)
    rows = [
        ("08:15:42", "11/03/24", "Natural Gas", "18", "4.6", "9.1", "0.0002", "28.2", "88.6",
         "176.4", "19.8", "-0.15", "C", "mbar"),
        ("08:21:03", "11/03/24", "Natural Gas", "22", "4.9", "9.0", "0.0002", "30.6", "88.2",
         "179.0", "19.9", "-0.14", "C", "mbar"),
        ("09:47:55", "11/03/24", "Light Oil", "41", "3.9", "12.5", "0.0003", "22.9", "89.1",
         "201.7", "20.4", "-0.21", "C", "mbar"),
        # CO sensor over its range, so CO and the ratio overflow.
        ("10:02:11", "11/03/24", "Light Oil", "OFL", "3.1", "13.1", "OFL", "17.4", "89.8",
         "205.3", "20.6", "-0.20", "C", "mbar"),
        # Burner off: no CO2 to divide by, no excess air or efficiency to compute.
        ("10:05:40", "11/03/24", "Light Oil", "0", "20.8", "0.1", "-", "NA", "NA",
         "64.2", "20.7", "-0.02", "C", "mbar"),
        ("13:30:18", "12/03/24", "Propane", "35", "5.5", "10.1", "0.0003", "35.7", "87.4",
         "356.9", "69.3", "-0.48", "F", "inH2O"),
        # Second probe not plugged in.
        ("13:34:27", "12/03/24", "Propane", "33", "5.4", "10.2", "0.0003", "34.8", "87.5",
         "358.2", "OPEN", "-0.47", "F", "inH2O"),
        ("15:12:09", "12/03/24", "Natural Gas", "9", "3.2", "9.9", "0.0001", "18.1", "90.3",
         "158.8", "21.0", "-0.09", "C", "hPa"),
        # Draft not measured.
        ("15:16:44", "12/03/24", "Natural Gas", "11", "3.3", "9.9", "0.0001", "18.8", "90.2",
         "160.1", "21.1", "-", "C", "hPa"),
        ("07:55:30", "13/03/24", "Wood Pellets", "187", "8.9", "11.6", "0.0016", "74.2", "84.0",
         "142.6", "18.2", "-0.11", "C", "mbar"),
        ("07:59:02", "13/03/24", "Wood Pellets", "214", "9.2", "11.3", "0.0019", "78.6", "83.5",
         "145.0", "18.4", "-0.12", "C", "mbar"),
        ("11:40:16", "13/03/24", "Natural Gas", "27", "5.0", "8.9", "0.0003", "31.4", "88.0",
         "186.3", "22.5", "-0.13", "C", "Pa"),
        ("11:44:51", "13/03/24", "Natural Gas", "26", "5.0", "8.9", "0.0003", "31.4", "88.0",
         "186.9", "22.6", "-13", "C", "Pa"),
    ]
    lines = instrument_header("Store Mode Data")
    lines.append(attr("memory status=", f"{len(rows)}/50"))
    close_header(lines)
    for address, r in enumerate(rows):
        keys = ["time=", "date=", "fuel_type=", "CO=", "O2=", "CO2=", "CO_CO2_ratio=", "xair=",
                "efficiency=", "temp_ch1=", "temp_ch2=", "pressure=", "temperature_unit=",
                "pressure_unit="]
        lines += record("address=", str(address), list(zip(keys, r)))
    return stream(lines)


# ---------------------------------------------------------------------------------------------
# Logger Mode: one page of periodic records. The instrument sends most measured values as
# "minimum/average/maximum" over the sampling interval; the fuel comes once, in the header.


def clock(start_seconds, step, i):
    t = (start_seconds + step * i) % 86400
    return f"{t // 3600:02d}:{t // 60 % 60:02d}:{t % 60:02d}"


def spread(avg, width, fmt):
    return f"{fmt(avg - width)}/{fmt(avg)}/{fmt(avg + width)}"


def logger_record(rng, fuel, fahrenheit, overflow=False, burner_off=False):
    if burner_off:
        o2 = 20.7 + rng.uniform(0.0, 0.15)
        return [
            ("CO=", "0/0/1"),
            ("O2=", spread(o2, 0.05, f1)),
            ("CO2=", "0.0/0.1/0.2"),
            ("CO_CO2_ratio=", "-"),
            ("xair=", "NA"),
            ("efficiency=", "NA"),
        ], rng.uniform(60.0, 80.0)
    o2 = rng.uniform(4.2, 5.6)
    co = rng.randint(8, 48)
    co2 = co2_for(fuel, o2)
    flue = rng.uniform(172.0, 190.0)
    if overflow:
        co_text, ratio_text = f"{rng.randint(3200, 3900)}/OFL/OFL", "OFL"
    else:
        co_text = f"{co - rng.randint(2, 6)}/{co}/{co + rng.randint(2, 9)}"
        ratio_text = f4(ratio_for(co, co2))
    pairs = [
        ("CO=", co_text),
        ("O2=", spread(o2, rng.uniform(0.1, 0.3), f1)),
        ("CO2=", spread(co2, rng.uniform(0.1, 0.2), f1)),
        ("CO_CO2_ratio=", ratio_text),
        ("xair=", f1(xair_for(o2))),
        ("efficiency=", f1(efficiency_for(flue, 21.0, o2))),
    ]
    if fahrenheit:
        flue = c_to_f(flue)
    return pairs, flue


def logger_stream(page, fuel, sampling, step, start, dates, count, fahrenheit, punit,
                  events=None, two_part=False, first_address=0):
    rng = random.Random(508 + page)
    events = events or {}
    lines = instrument_header("Logger Mode Data")
    lines += [
        attr("logger page=", str(page)),
        attr("sampling time=", sampling),
        attr("fuel_type=", fuel),
        attr("memory status=", f"{count}/100"),
    ]
    close_header(lines)
    for address in range(first_address, first_address + count):
        kind = events.get(address)
        pairs, flue = logger_record(rng, fuel, fahrenheit, kind == "overflow", kind == "off")
        room = rng.uniform(20.2, 21.8)
        if fahrenheit:
            room = c_to_f(room)
        draft = -rng.uniform(0.08, 0.16)
        t1 = spread(flue, rng.uniform(0.8, 2.5), f1)
        t2 = spread(room, 0.2, f1)
        if two_part:
            # Some records carry only "minimum/maximum": such a value is kept whole.
            t2 = f"{f1(room - 0.2)}/{f1(room + 0.2)}"
        if kind == "probe":
            t2 = "OPEN"
        pressure = spread(draft, 0.02, f2)
        if kind == "nodraft":
            pressure = "-"
        day = dates[0] if (start + step * (address - first_address)) < 86400 else dates[1]
        lines += record(
            "address=",
            str(address),
            [("time=", clock(start, step, address - first_address)), ("date=", day)]
            + pairs
            + [
                ("temp_ch1=", t1),
                ("temp_ch2=", t2),
                ("pressure=", pressure),
                ("temperature_unit=", "F" if fahrenheit else "C"),
                ("pressure_unit=", punit),
            ],
        )
    return stream(lines)


def logger0_stream():
    # A full page: 100 records, one a minute from 23:10, so the date changes after midnight.
    events = {37: "overflow", 62: "off", 63: "off", 80: "probe", 91: "nodraft"}
    return logger_stream(0, "Natural Gas", "00:01:00", 60, 23 * 3600 + 10 * 60,
                         ("05/09/06", "06/09/06"), 100, False, "mbar", events)


def logger1_stream():
    events = {5: "overflow", 29: "probe"}
    return logger_stream(1, "Light Oil", "00:00:10", 10, 9 * 3600 + 2 * 60 + 30,
                         ("17/10/06", "18/10/06"), 37, True, "hPa", events)


def logger2_stream():
    # Fuel name with one "/" (kept whole) and temp_ch2 as "minimum/maximum" (kept whole).
    return logger_stream(2, "Propane/Butane", "00:05:00", 300, 6 * 3600,
                         ("21/11/06", "22/11/06"), 12, False, "mbar", {7: "off"}, two_part=True)


def logger3_stream():
    # A page the instrument never filled: the header and nothing else.
    return logger_stream(3, "Natural Gas", "00:01:00", 60, 0, ("01/01/06", "02/01/06"), 0,
                         False, "mbar")


def logger1_first_lost_stream():
    # Not an answer of the emulator's default set: page 1 whose record 0 was lost on the way,
    # so rows from 2 on are filled and row 1 stays empty.
    return logger_stream(1, "Light Oil", "00:00:10", 10, 9 * 3600, ("17/10/06", "18/10/06"),
                         20, True, "hPa", first_address=1)


# ---------------------------------------------------------------------------------------------
# Single Logger Mode: one measurement per page, up to 30 record lines of two values.


def single_line(index, value):
    """A space, the index right-aligned in two characters, a space, then the quoted value."""
    return f' {index:>2} "{value}"'


def single_stream(page, title, sampling, date, time, unit_pair, values):
    lines = instrument_header(title)
    lines += [
        attr("logger page=", str(page)),
        attr("sampling time=", sampling),
        attr("date=", date),
        attr("time=", time),
    ]
    if unit_pair:
        lines.append(attr(*unit_pair))
    close_header(lines)
    lines += [single_line(i + 1, v) for i, v in enumerate(values)]
    return stream(lines)


def single0_stream():
    # CO: "average/maximum"; no unit in the header (the program then shows ppm).
    rng = random.Random(6)
    values = []
    for i in range(30):
        avg = rng.randint(95, 160)
        values.append(f"{avg}/{avg + rng.randint(4, 30)}")
    values[0] = "118/131"
    values[16] = "1620/OFL"  # peak beyond the sensor's range
    return single_stream(0, "CO Logger Mode Data", "00:00:30", "05/09/06", "14:20:00", None,
                         values)


def single1_stream():
    # Temperature: "channel 1/channel 2" in Celsius; the second probe comes loose at the end.
    rng = random.Random(7)
    values = []
    for i in range(18):
        t2 = "OPEN" if i >= 15 else f1(rng.uniform(20.0, 21.5))
        values.append(f"{f1(rng.uniform(175.0, 192.0))}/{t2}")
    return single_stream(1, "Temperature Logger Mode Data", "00:01:00", "06/09/06", "09:05:00",
                         ("temperature_unit=", "C"), values)


def single2_stream():
    # Pressure: one value per line, no "/"; the second value is then empty.
    rng = random.Random(8)
    values = [f2(-rng.uniform(0.05, 0.18)) for _ in range(25)]
    values[11] = "-"
    return single_stream(2, "Pressure Logger Mode Data", "00:00:10", "06/09/06", "11:40:30",
                         ("pressure_unit=", "mbar"), values)


def single3_stream():
    rng = random.Random(9)
    values = [f1(-rng.uniform(5.0, 16.0)) for _ in range(9)]
    return single_stream(3, "Pressure Logger Mode Data", "00:02:00", "07/09/06", "16:00:00",
                         ("pressure_unit=", "Pa"), values)


def single4_stream():
    # An empty CO page: headers are renamed, but no record line arrives to set the unit.
    return single_stream(4, "CO Logger Mode Data", "00:00:30", "08/09/06", "08:00:00", None, [])


# ---------------------------------------------------------------------------------------------
# Tightness Mode: the pressure at the start and at the end of each gas tightness test.


def tightness_stream():
    tests = [
        ("05/09/06", "10:12:30", "21.35", "21.02", "mbar"),
        ("05/09/06", "14:48:05", "20.88", "20.85", "mbar"),
        ("06/09/06", "09:30:41", "53.10", "52.47", "mbar"),
        ("06/09/06", "11:02:16", "21.40", "-", "mbar"),  # test aborted before its end
        ("07/09/06", "08:17:59", "2140", "2098", "Pa"),
        ("07/09/06", "15:25:12", "OFL", "OFL", "hPa"),  # over the sensor's range
    ]
    lines = instrument_header("Tightness Test Data")
    lines += [
        attr("sampling time=", "00:10:00"),
        attr("memory status=", f"{len(tests)}/50"),
    ]
    close_header(lines)
    for address, (date, time, p1, p2, unit) in enumerate(tests):
        lines += record(
            "address=",
            str(address),
            [("date=", date), ("time=", time), ("P1_Start=", p1), ("P2_Stop=", p2),
             ("pressure_unit=", unit)],
        )
    return stream(lines)


STREAMS = {
    "real.txt": real_stream,
    "real2.txt": real2_stream,
    "store.txt": store_stream,
    "logger0.txt": logger0_stream,
    "logger1.txt": logger1_stream,
    "logger2.txt": logger2_stream,
    "logger3.txt": logger3_stream,
    "logger1_first_lost.txt": logger1_first_lost_stream,
    "single0.txt": single0_stream,
    "single1.txt": single1_stream,
    "single2.txt": single2_stream,
    "single3.txt": single3_stream,
    "single4.txt": single4_stream,
    "tightness.txt": tightness_stream,
}

# The design limit of one reception pass; a real page stays below it.
MAX_STREAM_BYTES = 32767


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, make in STREAMS.items():
        data = make().encode("ascii")
        if len(data) > MAX_STREAM_BYTES:
            raise SystemExit(f"{name}: {len(data)} bytes, more than one pass can take")
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
