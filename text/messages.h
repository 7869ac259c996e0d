// The words of every message the program writes, each written once, in Portuguese with its
// accents (UTF-8): the notes of a report and the words around them, the names of characters a
// report shows escaped, the usage text, the errors of the options, of the exact mode's module,
// of input and output and of the history file, and the dialogue's pointer to "trigcalc -".
// They are written through io/text_form.h, which takes the accents off outside a UTF-8 locale;
// how they are laid out is their writers' (report/report.cpp for the notes). The dialogue's
// own texts, fixed without accents, are in dialogue/dialogue_texts.h.
//
// A printf format is a named array, so that the compiler checks the arguments given it. A
// note's wording is a template its report fills in: {q} the note's bytes of the line, quoted
// (with the name of a character in them a terminal shows as a blank); {n} the name the note
// holds; {l} the length of the line; {d} a number (digits, a column, a count); {s} the names like
// the word quoted, {S} those nearer to it than the name it was read as; {u} the note's bytes
// without their parentheses; {w} how --natural would read them; {i} and {r} the group and what
// follows it there; {v} why the note's function has no value; {j} two arguments joined.
#pragma once

namespace words {

// What a note says, by its kind (term/reading_notes.h), and where a kind is worded in more
// than one way, by what it is about.
inline constexpr char skipped[] = "{q} foi ignorado";
inline constexpr char skipped_letter[] = "a letra {q} não nomeia nada e foi ignorada";
inline constexpr char skipped_letters[] = "as letras {q} não nomeiam nada e foram ignoradas";
inline constexpr char joined_number[] =
    "{q} foi ignorado e juntou os algarismos dos dois lados num só número";
inline constexpr char number_tail[] = "o número termina antes de {q}, que foi ignorado";
inline constexpr char number_unread[] = "{q} não é um número: lido como 0";
inline constexpr char empty_after[] = "nada depois de {q}: lido como 0";
inline constexpr char empty_before[] = "nada antes de {q}: lido como 0";
inline constexpr char blank_amplitude[] =
    "o espaço em branco antes do nome é lido como uma amplitude sem número: o termo vale 0";
inline constexpr char amplitude_without_number[] = "a amplitude {q} não tem número: lida como 0";
inline constexpr char empty_argument[] = "falta o argumento: lido como 0";
inline constexpr char plus_after_exponent[] =
    "o \"+\" depois de \"E\" foi lido como soma: só \"-\" é sinal de expoente";
inline constexpr char cut_after_equals[] = "o que vem depois de \"=\" foi cortado";
inline constexpr char second_name[] =
    "segundo nome de função {q}: só o primeiro conta, suas letras foram ignoradas";
inline constexpr char name_read_as[] = "{q} foi lido como \"{n}\"{S}";
inline constexpr char unknown_name[] = "nome de função desconhecido {q}: lido como 0{s}";
inline constexpr char no_name[] = "nenhuma função trigonométrica reconhecida: lido como 0";
inline constexpr char pi_in_amplitude[] = "\"pi\" na amplitude põe o termo todo em radianos";
inline constexpr char pi_after_digit[] =
    "\"pi\" logo depois de um número não foi lido (para multiplicar, \"*pi\"), mas pôs o termo "
    "em radianos";
inline constexpr char bracket_pi_after_digit[] =
    "\"pi\" logo depois de um número foi ignorado (para multiplicar, \"*pi\")";
inline constexpr char rad_not_at_start[] = "\"rad\" só conta no início do termo: aqui foi ignorado";
inline constexpr char bracket_not_number[] = "{q} não tem número nem função: lido como 0";
inline constexpr char bracket_without_operator[] =
    "falta um operador logo depois do \"]\" anterior: os operadores seguintes ligam os "
    "colchetes na ordem em que aparecem, um colchete antes";
inline constexpr char bracket_dropped[] =
    "{q} ficou fora da conta: nenhum operador logo depois de um \"]\" o liga aos colchetes "
    "anteriores";
inline constexpr char operator_not_after_bracket[] =
    "{q} foi ignorado: um operador só conta logo depois do \"]\"";
inline constexpr char bracket_number_unread[] =
    "o número de {q} não foi lido: entre colchetes só se lê um número logo no início; lido "
    "como 0";
inline constexpr char argument_without_number[] = "o argumento {q} não tem número: lido como 0";
inline constexpr char zero_byte_ends_line[] = "um byte 0 termina a linha: {q} não foi lido";
inline constexpr char blank_before_sign_after_plus[] =
    "o \"-\" depois de {q} e um espaço subtrai, não dá sinal: o valor é o escrito";
inline constexpr char blank_before_sign[] =
    "o \"-\" depois de {q} e um espaço subtrai, não dá sinal: o operador ficou sem número "
    "depois (lido como 0) e o valor mudou";
inline constexpr char ungrouped_argument[] =
    "os parênteses não agrupam: o argumento {q} é lido como \"{u}\"{w}";
inline constexpr char ungrouped_amplitude[] =
    "os parênteses não agrupam: a amplitude {q} é lida como \"{u}\"{w}";
inline constexpr char natural_way[] = "; para que agrupem, use --natural";
inline constexpr char natural_way_written[] = "; para ({n} {i}){r}, use --natural";
inline constexpr char second_name_joining[] =
    "segundo nome de função {q}: só o primeiro conta; suas letras foram ignoradas e juntaram "
    "os algarismos dos dois lados num só número";
inline constexpr char line_cut[] = "mais de {l} bytes: o resto da linha foi ignorado";
inline constexpr char capital_name[] =
    "{q} não é nome de função: os nomes se escrevem em minúsculas (\"{n}\"); lido como 0";
inline constexpr char control_blank[] = "{q} foi lido como um espaço";
inline constexpr char misplaced_degree_sign[] =
    "{q} foi ignorado: só tem sentido depois do argumento";
inline constexpr char unclosed_bracket[] =
    "falta o \"]\" deste \"[\": o resto da linha foi lido dentro dele";
inline constexpr char number_too_large[] = "{q} é grande demais para um double: lido como infinito";
inline constexpr char division_by_zero[] = "divisão por 0 em {q}: o valor não é um número finito";
inline constexpr char outside_domain[] =
    "o argumento de {q} está fora de -1 a 1: o valor não é um número";
inline constexpr char rad_joined_name[] =
    "\"rad\" só conta no início do termo: aqui juntou-se ao nome \"{n}\" seguinte e fez "
    "\"rad{n}\", que não nomeia nada; lido como 0";
inline constexpr char name_split[] = "{q} foi lido junto, como \"{n}\": o valor é o escrito";
inline constexpr char name_split_without_argument[] =
    "{q} foi lido como \"{n}\", mas o argumento só é lido logo depois de um nome escrito junto: "
    "lido como 0";
inline constexpr char not_finite[] =
    "o valor não é um número finito: passou do maior que um double guarda";
inline constexpr char quotient_without_value[] = "divisão por 0 em {q}: o valor não existe";
inline constexpr char function_without_value[] = "{v}";
inline constexpr char pole_in_degrees[] =
    "{v}; o valor escrito é o da função no double do ângulo em radianos, que não está "
    "exatamente ali";
inline constexpr char root_without_value[] =
    "a raiz quadrada de {q} não existe: o número é menor que 0";
inline constexpr char power_without_value[] =
    "a potência {q} não existe: 0 a um expoente negativo, ou um número negativo a um expoente "
    "que não é inteiro nem fração de denominador ímpar";
inline constexpr char natural_empty[] = "nada para calcular";
inline constexpr char expected_operand_at_end[] =
    "esperava um número, \"(\", uma função ou \"√\" no fim da linha";
inline constexpr char expected_operand[] =
    "esperava um número, \"(\", uma função ou \"√\" em vez de {q}";
inline constexpr char missing_argument[] =
    "falta o argumento de {q}: escreva, por exemplo, \"sen 30\" ou \"sen(30)\"";
inline constexpr char missing_operator[] =
    "falta um operador antes de {q}: dois números lado a lado não se multiplicam (escreva "
    "\"*\")";
inline constexpr char unclosed[] = "este {q} não foi fechado: falta o \")\" ou \"]\" que o fecha";
inline constexpr char unclosed_bar[] = "este \"|\" não foi fechado: falta o \"|\" que o fecha";
inline constexpr char unopened[] = "{q} não fecha nada: falta o seu \"(\"";
inline constexpr char mismatched[] =
    "{q} fecha um grupo aberto com o outro sinal (\"(\" fecha com \")\", \"[\" com \"]\")";
inline constexpr char unknown_word[] = "{q} não é um nome conhecido{s}";
inline constexpr char unexpected[] = "{q} não tem lugar aqui";
inline constexpr char too_deep[] =
    "a expressão tem grupos demais, um dentro do outro, para ser lida: o valor não foi "
    "calculado";
inline constexpr char division_of_product[] =
    "{q} divide pelo produto todo que segue a barra (1/2π é 1/(2π)); para dividir só pelo "
    "primeiro fator, use parênteses: (1/2)π";
inline constexpr char power_in_argument[] =
    "{q} foi lido com a potência no argumento (sen30^2 é sen(30^2)); para elevar o valor, "
    "escreva sen²30 ou sen(30)^2";
inline constexpr char exact_too_large[] =
    "{q} é grande demais para o cálculo exato: o valor não foi calculado";
inline constexpr char exact_undecided[] =
    "o valor não pode ser distinguido de 0, ou de um empate no arredondamento, além de 10^-{d}";
inline constexpr char exact_beyond_limits[] =
    "a linha passa de um limite interno do cálculo exato (os passos ou a pilha do seu "
    "programa): o valor não foi calculado";
inline constexpr char exact_out_of_memory[] =
    "o cálculo exato precisou de mais memória do que pode ter: o valor não foi calculado";
inline constexpr char exact_out_of_time[] =
    "o cálculo exato passou do seu limite de tempo: o valor não foi calculado";
inline constexpr char exact_interrupted[] =
    "o cálculo exato foi interrompido: o valor não foi calculado";
inline constexpr char exact_stalled[] =
    "o processo do cálculo exato ficou {d} s sem usar o processador (parado de fora?): o valor "
    "não foi calculado";
inline constexpr char exact_ended_by_signal[] =
    "o processo do cálculo exato terminou pelo sinal {d}, sem ser um dos seus limites: o valor "
    "não foi calculado";
inline constexpr char exact_no_child[] =
    "o cálculo exato não pôde ser feito num processo à parte: o valor não foi calculado";
inline constexpr char number_too_small[] = "{q} é pequeno demais para um double: lido como 0";
inline constexpr char underflow[] = "o valor virou 0: passou do menor que um double guarda";
inline constexpr char x_as_times[] =
    "{q} foi lido como vezes: para a incógnita, escreva \"*x\"; para vezes, \"*\"";
inline constexpr char second_unknown[] = "{q} é uma segunda incógnita: uma linha tem uma só";
inline constexpr char needs_unknown[] =
    "{q} só tem lugar numa linha com a incógnita (várias expressões, um intervalo para ela)";
inline constexpr char unknown_in_bound[] =
    "{q} não tem lugar num limite do intervalo: os limites são números";
inline constexpr char unsolved_outside_angle[] =
    "não sei resolver: a incógnita aparece fora dos ângulos (como em x·sen x), ou não só somada "
    "e multiplicada por números";
inline constexpr char unsolved_angle_not_linear[] =
    "não sei resolver: um ângulo não é da forma a·x + b, com a racional";
inline constexpr char unsolved_not_algebraic[] =
    "não sei resolver: um número da linha não é algébrico, ou um ângulo não é um múltiplo "
    "racional de π (como sen 1 rad)";
inline constexpr char unsolved_power[] =
    "não sei resolver: uma potência que não é um número inteiro pequeno, ou uma raiz da "
    "incógnita";
inline constexpr char unsolved_inverse_of_unknown[] =
    "não sei resolver: uma função inversa da incógnita";
inline constexpr char unsolved_too_large[] =
    "não sei resolver: a linha passa dos limites do que se resolve (o grau da equação, ou os "
    "números que ela pede)";
inline constexpr char unsolved_check_failed[] =
    "não sei resolver: uma solução não se confirmou quando posta de volta na linha";
inline constexpr char unsolved_bound[] =
    "não sei resolver: um limite do intervalo não é um número racional de graus, ou um "
    "múltiplo racional de π";
inline constexpr char equation_without_module[] =
    "uma linha com a incógnita é resolvida pelo cálculo exato, que não está disponível";
inline constexpr char not_a_value[] =
    "a linha tem a incógnita ou é uma equação: não tem um valor só";
inline constexpr char picture_nothing_to_draw[] =
    "nada a desenhar: a linha não tem a incógnita nem é uma função de um ângulo (como "
    "\"sen x\" ou \"sen 150\")";
inline constexpr char picture_interval_empty[] =
    "o intervalo {q} não tem largura, ou um limite seu não é um número: nada foi desenhado";
inline constexpr char picture_interval_too_wide[] =
    "o intervalo {q} é largo demais, ou longe demais de 0, para um desenho: nada foi desenhado";
inline constexpr char picture_no_value[] =
    "{q} não tem valor em nenhum ponto do intervalo: não há curva";
inline constexpr char picture_detail_cut[] =
    "a curva de {q} passou do limite de pontos: foi desenhada com menos detalhe";
inline constexpr char natural_too_long[] =
    "mais de {l} bytes: a linha não foi lida (os primeiros bytes teriam outro valor)";
inline constexpr char no_answer[] = "{q}: ainda não há resposta anterior (uma linha com valor)";
inline constexpr char answer_as_digits[] =
    "{q}: a conta anterior não cabe nesta linha; lida como o seu valor com 17 algarismos";

// Why a function has no value where a note says so, by the function ({v}).
inline constexpr char tangent_without_value[] =
    "a tangente de {q} não existe: o cosseno do ângulo é 0";
inline constexpr char secant_without_value[] =
    "a secante de {q} não existe: o cosseno do ângulo é 0";
inline constexpr char cotangent_without_value[] =
    "a cotangente de {q} não existe: o seno do ângulo é 0";
inline constexpr char cosecant_without_value[] =
    "a cossecante de {q} não existe: o seno do ângulo é 0";
inline constexpr char arc_sine_without_value[] =
    "o arco-seno de {q} não existe: só existe de -1 a 1";
inline constexpr char arc_cosine_without_value[] =
    "o arco-cosseno de {q} não existe: só existe de -1 a 1";
inline constexpr char logarithm_without_value[] =
    "o logaritmo de {q} não existe: só existe para números maiores que 0";
inline constexpr char arc_hyperbolic_cosine_without_value[] =
    "o arco-cosseno hiperbólico de {q} não existe: só existe de 1 em diante";
inline constexpr char arc_hyperbolic_tangent_without_value[] =
    "a arco-tangente hiperbólica de {q} não existe: só existe entre -1 e 1";
inline constexpr char other_without_value[] = "{q} não tem valor";

// The words around a report's notes: the source of the arguments, a later note's column, the
// names like a word ({s}), the notes that found no room, and the pointer for a name given
// without its argument as one argument and its argument as the next.
inline constexpr char arguments_name[] = "<argumentos>";  // the arguments, a file of one a line
inline constexpr char later_note[] = "  coluna {d}: ";
inline constexpr char similar_names[] = "; nomes parecidos: ";
inline constexpr char similar_names_comma[] = ", ";
inline constexpr char similar_names_or[] = " ou ";
inline constexpr char one_more_note[] = "  e mais {d} nota\n";
inline constexpr char more_notes[] = "  e mais {d} notas\n";
inline constexpr char one_expression_each[] =
    "  cada argumento é uma expressão: para avaliar \"{j}\" como uma só, ponha-a entre aspas: "
    "'{j}'\n";

// The names of the characters a terminal shows as a blank or as nothing, which a report shows
// escaped (report/shown_text.cpp holds their codes).
inline constexpr char no_break_space[] = "espaço sem quebra";
inline constexpr char soft_hyphen[] = "hífen condicional";
inline constexpr char typographic_space[] = "espaço tipográfico";
inline constexpr char zero_width_space[] = "espaço de largura zero";
inline constexpr char narrow_no_break_space[] = "espaço estreito sem quebra";
inline constexpr char mathematical_space[] = "espaço matemático";
inline constexpr char word_joiner[] = "junção de palavras";
inline constexpr char ideographic_space[] = "espaço ideográfico";
inline constexpr char zero_width_no_break_space[] = "espaço sem quebra de largura zero";

// The usage text: the digits' range (%d to %d, %d by default; with --exact, %d to %d).
inline constexpr char usage[] =
    "Uso: trigcalc [-d N] [-e] [-f] [-g[=svg]] [-n] [-t] [EXPRESSÃO...]\n"
    "Calculadora de expressões trigonométricas.\n"
    "\n"
    "Sem expressões, abre o diálogo interativo.\n"
    "Com expressões, avalia cada uma como uma linha do diálogo e escreve só o valor,\n"
    "uma linha por expressão; \"-\" avalia cada linha da entrada padrão. Num terminal,\n"
    "\"-\" abre um laço: \"> \" pede cada expressão, com edição, histórico e Tab;\n"
    "Ctrl-C descarta a linha, Ctrl-D numa linha vazia termina.\n"
    "\n"
    "Opções:\n"
    "  -d, --digits=N   algarismos significativos de cada valor, de %d a %d (padrão: %d);\n"
    "                   com --exact, de %d a %d\n"
    "  -e, --exact      calcula cada valor exatamente e o escreve corretamente\n"
    "                   arredondado; \"nan\" onde o valor não existe\n"
    "  -f, --form[=beside|only]\n"
    "                   escreve antes de cada valor a sua forma exata quando há uma\n"
    "                   curta: \"sin60\" dá \"√3/2 ≈ 0.866025\" (sqrt(3)/2 fora de um\n"
    "                   locale UTF-8); =beside, o padrão, a forma e os algarismos,\n"
    "                   =only só a forma; implica --exact\n"
    "  -g, --graph[=svg]\n"
    "                   desenha cada linha em x (\"sen x; cos x\", \"tg x, -180 <= x <= 180\")\n"
    "                   num gráfico em braille do tamanho do terminal, com os zeros e as\n"
    "                   assíntotas, e o círculo trigonométrico de uma função de um ângulo\n"
    "                   (\"sen 150\"); num pipe ou fora de um locale UTF-8, a tabela de -t;\n"
    "                   =svg escreve um documento SVG; implica --natural\n"
    "  -h, --help       mostra esta ajuda e termina\n"
    "  -n, --natural    lê cada linha como aritmética comum, como nos livros:\n"
    "                   \"sen(30)*2\" é 1, \"2sen30cos30\" é sen 60, \"raiz 2\", \"sen^2 30\",\n"
    "                   \"sen π/6\", ln, log, |x|; \"30° em rad\" (ou em graus, gms, grad)\n"
    "                   converte; ans é a resposta anterior; com a incógnita x, resolve\n"
    "                   equações (\"sen x = 1/2\") e decide identidades (\"sen²x + cos²x\"\n"
    "                   dá \"1 para todo x\")\n"
    "  -t, --table      escreve a tabela de valores de cada linha em x, uma linha por\n"
    "                   valor de x (de 15 em 15 graus, ou de pi/12, num período): x e os\n"
    "                   valores separados por tabulações; implica --natural\n"
    "  -V, --version    mostra a versão e termina\n"
    "  --               termina as opções (para uma expressão que começa com \"-\")\n"
    "\n"
    "Exemplos:\n"
    "  trigcalc sin30 \"[sin30]+[2]*[cos60]\"\n"
    "  seq 0 15 90 | sed 's/^/sin/' | trigcalc -\n"
    "  trigcalc -g \"sen x; cos x\" \"tg x, 0 <= x <= 360\" \"sen 150\"\n"
    "\n"
    "Estado de saída: 0 se tudo foi lido como escrito; 1 se alguma expressão foi lida\n"
    "de outro modo (dito na saída de erro) ou se a leitura ou a escrita falhou;\n"
    "2 se as opções estão erradas.\n";

// What was wrong with the options: the command, then the option as typed (%.*s).
inline constexpr char option_needs_value[] = "%s: a opção %.*s precisa de um valor\n";
inline constexpr char option_takes_no_value[] = "%s: a opção %.*s não aceita valor\n";
inline constexpr char unknown_option[] = "%s: opção desconhecida: %.*s\n";
inline constexpr char invalid_digits[] =
    "%s: valor inválido para --digits: \"%s\" (um número inteiro de %d a %d; com --exact, de "
    "%d a %d)\n";
inline constexpr char invalid_form[] = "%s: valor inválido para --form: \"%s\" (%s ou %s)\n";
inline constexpr char invalid_graph[] = "%s: valor inválido para --graph: \"%s\" (%s)\n";
inline constexpr char try_help[] = "Experimente \"%s --help\" para mais informação.\n";

// Why --exact or --form (%s, after the command) is not available: what became of the module.
inline constexpr char not_available[] = "%s: %s não está disponível: ";
inline constexpr char module_not_built[] = "esta versão foi feita sem Arb e Calcium\n";
inline constexpr char module_no_directory[] =
    "o diretório do programa, onde o módulo é procurado, não foi achado (%s: %s)\n";
inline constexpr char module_not_found[] = "o módulo %s não foi achado a partir de %s\n";
inline constexpr char module_not_regular[] = "o módulo %s não é um arquivo comum\n";
inline constexpr char module_not_whole[] =
    "o módulo %s está incompleto (uma cópia interrompida?): tem menos bytes do que o seu "
    "cabeçalho descreve (tem/descreve: %s)\n";
inline constexpr char module_not_loaded[] = "o módulo %s não pôde ser carregado: %s\n";
inline constexpr char module_other_version[] =
    "o módulo %s foi feito com outra versão do programa (versão/revisão: %s)\n";
inline constexpr char module_no_entry[] = "o módulo %s não tem a entrada %s\n";

// Input and output that failed: the command, the source, the system's words.
inline constexpr char read_error[] = "%s: %s: erro de leitura: %s\n";
inline constexpr char write_error[] = "%s: erro de escrita na saída padrão: %s\n";

// The history file not used or not saved: the command, the path, why.
inline constexpr char history_warning[] = "%s: histórico: %s: %s\n";
inline constexpr char history_not_regular[] = "não é um arquivo comum; histórico não usado";
inline constexpr char history_locked[] = "em uso por outro processo; histórico não gravado";
inline constexpr char history_other_user[] = "de outro usuário; histórico não usado";
inline constexpr char history_other_folder[] = "numa pasta de outro usuário; histórico não usado";

// The dialogue piped, its first answer not a number: the command, twice.
inline constexpr char first_answer_not_a_number[] =
    "%s: a primeira resposta não é um número: para avaliar expressões lidas de um pipe, use "
    "\"%s -\"\n";

}  // namespace words
