#!/usr/bin/env python3
"""Computes what the program must produce from the stream corpus, as an independent oracle.

A small model of the program, written from the protocol and file-format description alone and
kept deliberately literal: the line assembler and the parsers walk the received text one
character at a time, placement follows the key tables, and the writer walks the full table
block. For each case the model starts fresh (start-up state), switches to the mode with the
serial port closed, receives each capture as one burst followed by one reception pass, and
then writes:

  - for modes 1 to 11, the data file, byte for byte (one quoted value per line, CR LF);
  - for Real Mode, the name=caption lines of the live panels (each line ends LF).

    python3 make_expected.py [STREAM_DIR [OUTPUT_DIR]]
"""

import os
import sys

LF, CR, QUOTE = "\n", "\r", '"'
CLOSING = "</BTInstReading>"

RECORD_HEADERS = ["Add", "Time", "Date", "Fuel", "CO", "O2", "CO2", "Ratio", "XAir", "Eff.",
                  "Temp1", "Temp2", "Press", "T_Unit", "P_Unit"]
TIGHTNESS_HEADERS = ["Add", "Date", "Time", "P1_Start", "P2_Stop", "Unit"]
SINGLE_HEADERS = ["Add", "Value1", "Value2"]
SINGLE_TITLES = {
    "CO Logger Mode Data": ["Add", "Average", "Maxmum"],
    "Temperature Logger Mode Data": ["Add", "Temp1", "Temp2"],
    "Pressure Logger Mode Data": ["Add", "Pressure", " "],
}

REAL_KEYS_TO_CELL = {"CO=": 0, "O2=": 1, "CO2=": 2, "CO_CO2_ratio=": 3, "xair=": 4,
                     "efficiency=": 5, "temp_ch1=": 6, "temp_ch2=": 7, "pressure=": 8,
                     "fuel_type=": 9}
REAL_PANELS = ["txtRCo", "txtRO2", "txtRCo2", "txtRRatio", "txtRXair", "txtREff", "txtRTemp1",
               "txtRTemp2", "txtRPressure", "txtRFuel"]
REAL_OUTPUT = ["FrameReal", "txtRDate", "txtRTime"] + REAL_PANELS + [
    "labRT1Unit", "labRT2Unit", "labRPUnit", "txtVersion"]

RECORD_KEYS_TO_COLUMN = {"time=": 1, "date=": 2, "CO=": 4, "O2=": 5, "CO2=": 6,
                         "CO_CO2_ratio=": 7, "xair=": 8, "efficiency=": 9, "temp_ch1=": 10,
                         "temp_ch2=": 11, "pressure=": 12}
BROWSE_PANELS = ["txtSAdd2", "txtSTime", "txtSDate", "txtSFuel", "txtSCo", "txtSO2", "txtSCo2",
                 "txtSRatio", "txtSXair", "txtSEff", "txtSTemp1", "txtSTemp2", "txtSPressure"]


def grid(rows, cols):
    return [["" for _ in range(cols)] for _ in range(rows)]


def to_int16(text):
    value = int(text.strip())
    if not -32768 <= value <= 32767:
        raise ValueError(text)
    return value


class Model:
    def __init__(self):
        # Start-up.
        self.mode = 0
        self.row = 0
        self.grid1 = grid(51, 15)  # headers blank until the first Store or Logger switch
        self.grid2 = grid(51, 9)  # nine blank columns until the first Tightness switch
        self.grid3 = grid(31, 3)
        self.grid3[0] = list(SINGLE_HEADERS)
        self.grid4 = grid(10, 1)
        self.caption = {name: "" for name in REAL_OUTPUT + BROWSE_PANELS}
        self.caption.update({
            "FrameReal": "Real Mode Data",
            "labRT1Unit": "'C", "labRT2Unit": "'C", "labRPUnit": "mbar",
            "labST1Unit": "'F", "labST2Unit": "'F", "labSPUnit": "mbar",
            "txtLFuel": "", "txtSSample": "", "txtSLMeasure": "", "txtSLDate": "",
            "txtSLTime": "", "txtSLSample": "", "txtSLUnit": "", "txtVersion": "",
        })
        # Tokenizer state that lives across passes.
        self.receive_buffer = ""
        self.stream_text = ""
        self.split_line = ""
        self.complete_stream = ""
        self.parse_line = ""
        self.key = ""
        self.value = ""
        self.major = ""
        self.minor = ""

    # -- mode switch, port closed: no stop request is sent -----------------------------------

    def switch(self, code):
        if code == 0:
            for name in ["txtRDate", "txtRTime"] + REAL_PANELS:
                self.caption[name] = ""
        elif code == 1 or 2 <= code <= 5:
            self.grid1 = grid(51 if code == 1 else 101, 15)
            self.grid1[0] = list(RECORD_HEADERS)
            if code == 1:
                self.row = 0
            blanked = ["txtSAdd2", "txtSDate", "txtSTime", "txtSSample", "txtSCo", "txtSO2",
                       "txtSCo2", "txtSRatio", "txtSXair", "txtSEff", "txtSTemp1", "txtSTemp2",
                       "txtSPressure", "txtSFuel" if code == 1 else "txtLFuel"]
            for name in blanked:
                self.caption[name] = ""
        elif 6 <= code <= 10:
            self.grid3 = grid(31, 3)
            self.grid3[0] = list(SINGLE_HEADERS)
            for name in ["txtSLMeasure", "txtSLDate", "txtSLTime", "txtSLSample", "txtSLUnit"]:
                self.caption[name] = ""
        elif code == 11:
            self.grid2 = grid(51, 6)
            self.grid2[0] = list(TIGHTNESS_HEADERS)
            self.caption["txtSLMeasure"] = ""
        else:
            raise ValueError(code)
        self.mode = code

    # -- reception: one burst, then one pass -------------------------------------------------

    def receive(self, text):
        self.receive_buffer += text

    def finish_reception(self):
        self.split_received()
        if self.mode == 0:
            self.parse_real()
        else:
            self.parse_records()
        self.receive_buffer = ""
        self.complete_stream = ""

    def split_received(self):
        for c in self.receive_buffer:
            self.stream_text += c
            if c == LF:
                if self.split_line == CR + CLOSING:
                    self.complete_stream = self.stream_text + CR
                    self.stream_text = ""
                self.split_line = ""
            else:
                self.split_line += c

    def characters(self):
        """The parser's walk: one character per step ("" past the end), and whether the
        complete stream is empty, which ends the walk at once."""
        pos = 0
        while True:
            pos += 1
            c = self.complete_stream[pos - 1] if pos <= len(self.complete_stream) else ""
            yield c, self.complete_stream == ""

    def split_key_value(self, line):
        q1 = line.find(QUOTE)
        if q1 < 0:
            return False
        self.key = line[:q1]
        q2 = line.find(QUOTE, q1 + 1)
        if q2 >= 0:
            self.value = line[q1 + 1:q2]
        return True

    def version_keys(self):
        if self.key == "major_version=":
            self.major = self.value
        elif self.key == "minor_version=":
            self.minor = self.value

    # -- Real Mode -----------------------------------------------------------------------------

    def parse_real(self):
        for c, empty in self.characters():
            done = empty
            if c != CR:
                self.parse_line += c
            else:
                last, self.parse_line = self.parse_line, ""
                if last == CLOSING + LF:
                    done = True
                    self.show_real_reading()
                else:
                    self.split_key_value(last)
            self.version_keys()
            self.place_real()  # every step, with whatever pair is current
            if done:
                break
        self.caption["txtVersion"] = self.major + "." + self.minor

    def place_real(self):
        k, v = self.key, self.value
        if k == "mode=":
            self.caption["FrameReal"] = v
        elif k == "temperature_unit=":
            self.caption["labRT1Unit"] = self.caption["labRT2Unit"] = "'" + v
        elif k == "pressure_unit=":
            self.caption["labRPUnit"] = v
        elif k in ("time=", "<inst_data time="):
            self.caption["txtRTime"] = v
        elif k == "date=":
            self.caption["txtRDate"] = v
        elif k in REAL_KEYS_TO_CELL:
            self.grid4[REAL_KEYS_TO_CELL[k]][0] = v

    def show_real_reading(self):
        for k, name in enumerate(REAL_PANELS):
            self.caption[name] = self.grid4[k][0]
        for k in range(10):
            self.grid4[k][0] = ""

    # -- Store, Logger, Single Logger, Tightness -----------------------------------------------

    def parse_records(self):
        for c, empty in self.characters():
            done = empty
            if c != CR:
                self.parse_line += c
            else:
                last, self.parse_line = self.parse_line, ""
                if last == CLOSING + LF:
                    done = True
                    if 1 <= self.mode <= 5:
                        self.row = 0
                        self.show_browse_row()
                else:
                    self.record_line(last)
            self.version_keys()
            if done:
                break
        self.caption["txtVersion"] = self.major + "." + self.minor

    def record_line(self, line):
        if line.startswith("<inst_data"):
            space = line.find(" ")
            if space >= 0:
                line = line[space + 1:]
        if line.startswith(" "):
            line = line[1:]
            index_text = line[:2]
            q1 = line.find(QUOTE)
            q2 = line.find(QUOTE, q1 + 1) if q1 >= 0 else -1
            if q1 < 0 or q2 < 0:
                return  # no complete quoted value: nothing the program can place
            v = line[q1 + 1:q2]
            if "/" in v:
                v1, v2 = v.split("/", 1)
            else:
                v1, v2 = v, ""
            self.place_single_record(index_text, v1, v2)
            return
        if not self.split_key_value(line):
            return
        if 1 <= self.mode <= 5:
            self.place_record_field()
        elif 6 <= self.mode <= 10:
            self.place_single_field()
        elif self.mode == 11:
            self.place_tightness_field()

    def place_record_field(self):
        logger = 2 <= self.mode <= 5
        if logger and self.key != "date=":
            first = self.value.find("/")
            if first >= 0:
                second = self.value.find("/", first + 1)
                if second >= 0:
                    self.value = self.value[first + 1:second]
        k, v, r = self.key, self.value, self.row + 1
        if k == "address=":
            self.row = to_int16(v)
            self.grid1[self.row + 1][0] = v
        elif k in RECORD_KEYS_TO_COLUMN:
            self.grid1[r][RECORD_KEYS_TO_COLUMN[k]] = v
        elif k == "fuel_type=":
            if logger:
                self.caption["txtLFuel"] = v
                self.grid1[1][3] = v
            else:
                self.grid1[r][3] = v
        elif k == "temperature_unit=":
            if logger:
                self.caption["labST1Unit"] = self.caption["labST2Unit"] = "'" + v
            else:
                self.grid1[r][13] = "'" + v
        elif k == "pressure_unit=":
            self.grid1[r][14] = v
            self.caption["labSPUnit"] = v
        elif k == "sampling time=":
            self.caption["txtSSample"] = v

    def show_browse_row(self):
        r = self.row + 1
        for c, name in enumerate(BROWSE_PANELS):
            self.caption[name] = self.grid1[r][c]
        if self.mode == 1:
            self.caption["labST1Unit"] = self.caption["labST2Unit"] = self.grid1[r][13]
            self.caption["labSPUnit"] = self.grid1[r][14]

    def place_single_field(self):
        k, v = self.key, self.value
        if k == "sampling time=":
            self.caption["txtSLSample"] = v
        elif k == "mode=":
            self.caption["txtSLMeasure"] = v
        elif k == "time=":
            self.caption["txtSLTime"] = v
        elif k == "date=":
            self.caption["txtSLDate"] = v
        elif k == "temperature_unit=":
            self.caption["txtSLUnit"] = "'" + v
        elif k == "pressure_unit=":
            self.caption["txtSLUnit"] = v
        headers = SINGLE_TITLES.get(self.caption["txtSLMeasure"])
        if headers:
            self.grid3[0] = list(headers)

    def place_single_record(self, index_text, v1, v2):
        row = to_int16(index_text)
        self.grid3[row][0] = index_text
        self.grid3[row][1] = v1
        self.grid3[row][2] = v2
        if self.caption["txtSLUnit"] == "":
            self.caption["txtSLUnit"] = "ppm"

    def place_tightness_field(self):
        k, v, r = self.key, self.value, self.row + 1
        if k == "mode=":
            self.caption["txtSLMeasure"] = v
        elif k == "sampling time=":
            self.caption["txtSLSample"] = v
        elif k == "address=":
            self.row = to_int16(v)
            self.grid2[self.row + 1][0] = v
        elif k == "date=":
            self.grid2[r][1] = v
        elif k == "time=":
            self.grid2[r][2] = v
        elif k == "P1_Start=":
            self.grid2[r][3] = v
        elif k == "P2_Stop=":
            self.grid2[r][4] = v
        elif k in ("temperature_unit=", "pressure_unit="):
            self.grid2[r][5] = v

    # -- output ----------------------------------------------------------------------------------

    def data_file(self):
        values = [str(self.mode)]
        if 6 <= self.mode <= 10:
            values += [self.caption[n] for n in
                       ["txtSLMeasure", "txtSLDate", "txtSLTime", "txtSLSample", "txtSLUnit"]]
        elif self.mode == 11:
            values.append(self.caption["txtSLMeasure"])
        if 1 <= self.mode <= 5:
            block = self.grid1
        elif 6 <= self.mode <= 10:
            block = self.grid3
        else:
            block = self.grid2
        for row in block:
            values += row
        values.append(self.caption["txtVersion"])
        if 2 <= self.mode <= 5:
            values.append(self.caption["txtSSample"])
        return "".join(QUOTE + v + QUOTE + CR + LF for v in values)

    def real_panels(self):
        return "".join(f"{name}={self.caption[name]}{LF}" for name in REAL_OUTPUT)


def run(stream_dir, mode, captures):
    model = Model()
    model.switch(mode)
    for name in captures:
        with open(os.path.join(stream_dir, name), "rb") as f:
            model.receive(f.read().decode("ascii"))
        model.finish_reception()
    return model.data_file() if mode else model.real_panels()


# (output file, mode code, captures in order)
CASES = [
    ("store.txt", 1, ["store.txt"]),
    ("logger0.txt", 2, ["logger0.txt"]),
    ("logger1.txt", 3, ["logger1.txt"]),
    ("logger2.txt", 4, ["logger2.txt"]),
    ("logger3.txt", 5, ["logger3.txt"]),
    ("logger1_first_lost.txt", 3, ["logger1_first_lost.txt"]),
    ("single0.txt", 6, ["single0.txt"]),
    ("single1.txt", 7, ["single1.txt"]),
    ("single2.txt", 8, ["single2.txt"]),
    ("single3.txt", 9, ["single3.txt"]),
    ("single4.txt", 10, ["single4.txt"]),
    ("tightness.txt", 11, ["tightness.txt"]),
    ("real.panels", 0, ["real.txt"]),
    ("real-real2.panels", 0, ["real.txt", "real2.txt"]),
]

LINE_COUNTS = {1: 767, 2: 1518, 3: 1518, 4: 1518, 5: 1518, 6: 100, 7: 100, 8: 100, 9: 100,
               10: 100, 11: 309}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    stream_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "streams")
    out_dir = sys.argv[2] if len(sys.argv) > 2 else here
    for out_name, mode, captures in CASES:
        text = run(stream_dir, mode, captures)
        if mode:
            lines = text.count(CR + LF)
            if lines != LINE_COUNTS[mode]:
                raise SystemExit(f"{out_name}: {lines} lines, the layout has {LINE_COUNTS[mode]}")
        with open(os.path.join(out_dir, out_name), "wb") as f:
            f.write(text.encode("ascii"))


if __name__ == "__main__":
    main()
