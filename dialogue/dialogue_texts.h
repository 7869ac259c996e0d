// The dialogue's fixed Portuguese texts, byte for byte as the user sees them.
#pragma once

// Shown once at start, with no newline after its last line.
constexpr char help_text[] =
    "Algumas notas:\n"
    " * Digite uma funcao trigonometrica com angulo em graus ou\n"
    "radianos ou com uma razao e com ou sem amplitude.\n"
    " * Se quiser pode usar Notacao Cientifica na amplitude e no\n"
    "argumento (angulo ou razao).\n"
    " * Ao digitarmos, por exemplo \"5x10^3sin(9x10^1)\", \"5x10^3\" e\n"
    "a amplitude, \"sin\" e o tipo de funcao e \"9x10^1\" e o argumento.\n"
    "Por favor note que digitar \"x\" or \"*\" e o mesmo e que digitar \n"
    "\"x10^\" ou \"*10^\" ou \"E\" ou \"e\" e o mesmo.\n"
    "Digite \"1\" e pressione o botao \"Enter\" para comecar os calculos.";

// Shown before every expression line.
constexpr char prompt_text[] = "Digite dados de trigonometria:\n\n";

// Shown after every result; the answer 1 goes on, any other ends the program.
constexpr char question_text[] =
    "Quer fazer mais calculos de trigonometria?\n\n( Sim -> 1 / Nao -> 0 )\n\n";
