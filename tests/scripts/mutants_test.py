"""The mutant maker's rules on a small source: each rule makes the faults it names and no
mutant touches a declaration, an array size, a template argument or a directive."""

import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "scripts"))

from mutants.independent import independent_swap  # noqa: E402
from mutants.mutate import Mutant, generate  # noqa: E402
from mutants.sampling import quotas  # noqa: E402

SOURCE = r'''#include <array>
#define LIMIT 4
namespace {
const char* const title = "Add";
std::array<int, 3> table{};
int clampTo(int value, int low) {
    char text[32];
    if (value < low && low != 0)
        return low;
    text[0] = 'a';
    draw(value, low);
    draw(low, 7);
    return value;
}
void paint() {
    first();
    second();
    float half = size * 0.5f - 1;
    glRotatef(-angle, 0.0f, 1.0f, 0.0f);
    glEnable(GL_LIGHTING);
}
}
'''


class MutantRulesTest(unittest.TestCase):
    def setUp(self):
        self.mutants = generate("x.cpp", SOURCE)

    def changes(self, rule):
        return [(m.original, m.replacement) for m in self.mutants if m.rule == rule]

    def test_each_rule_makes_its_faults(self):
        self.assertIn(("<", "<="), self.changes("operator"))
        self.assertIn(("!=", "=="), self.changes("operator"))
        self.assertIn(("&&", "||"), self.changes("operator"))
        self.assertIn(("value < low && low != 0", "!(value < low && low != 0)"),
                      self.changes("negate"))
        numbers = self.changes("number")
        for replacement in ("6", "8"):
            self.assertIn(("7", replacement), numbers)
        deleted = [original for original, _ in self.changes("delete")]
        self.assertIn("first();", deleted)
        self.assertIn("return low;", deleted)
        self.assertNotIn("return value;", deleted)  # would run off the end of the function
        self.assertIn(("first();\n    second();", "second();\n    first();"), self.changes("swap"))
        strings = self.changes("string")
        self.assertEqual(len(strings), 1)
        self.assertEqual(len(strings[0][1]), len('"Add"'))
        self.assertIn(("low", "value"), self.changes("argument"))
        self.assertEqual(self.changes("unary"), [("-", "")])
        self.assertEqual(self.changes("float"), [("*", "/"), ("-", "+")])
        constants = self.changes("constant")
        self.assertIn(("GL_LIGHTING", "GL_LIGHT_MODEL_LOCAL_VIEWER"), constants)
        self.assertIn(("-angle", "0"), constants)
        self.assertIn(("-angle", "1"), constants)
        self.assertNotIn(("0.0f", "1"), constants)  # literals are the number rule's

    def test_declarations_sizes_and_directives_are_left_alone(self):
        for m in self.mutants:
            self.assertNotIn(m.original, ("32", "3", "4", "char text[32];"))
            self.assertFalse(m.original.startswith("#"))
        for m in self.mutants:
            mutated = m.apply(SOURCE)
            self.assertNotEqual(mutated, SOURCE)

    def test_names_survive_edits_elsewhere(self):
        shifted = generate("x.cpp", "// a new first line\n" + SOURCE)
        self.assertEqual(sorted(m.ident for m in self.mutants), sorted(m.ident for m in shifted))

    def test_every_file_gets_a_share(self):
        share = quotas({"a": 1000, "b": 10, "c": 3}, 60)
        self.assertEqual(sum(share.values()), 60)
        self.assertTrue(all(share[f] >= 3 for f in share))

    def test_only_plainly_independent_swaps_are_judged_by_reading(self):
        def swap(a, b):
            return independent_swap(Mutant("x.cpp", 1, "swap", 0, 0, "", f"{a}\n    {b}"))
        self.assertTrue(swap("image.width = static_cast<int16_t>(w);", "image.height = 0;"))
        self.assertTrue(swap("pixel[0] = colour.r;", "pixel[2] = colour.b;"))
        self.assertFalse(swap("image.width = get16le(c);", "image.height = get16le(c);"))
        self.assertFalse(swap("a.x = 1;", "a.y = a.x + 1;"))  # reads the other's object
        self.assertFalse(swap("a.x = 1;", "b.x = 2;"))  # a reference may join them
        self.assertFalse(swap("a.p = 1;", "a.p.q = 2;"))  # one holds the other
        self.assertFalse(swap("a.x = n++;", "a.y = n;"))
        self.assertFalse(swap("row[i] = 1;", "row[j] = 2;"))  # may be one element


if __name__ == "__main__":
    unittest.main()
